// The play button: a triangle lit while playing; a press starts the open
// track again from its beginning, a double-click while playing advances.
#include "ui/controls/controls.h"

#include "app/player_state.h"
#include "playback/mci.h"
#include "playback/mp3_engine.h"
#include "playback/play_track.h"
#include "ui/ui.h"

void PaintPlayButton(HDC dc, int width, int height)
{
    PaintButtonBody(dc, width, height, player.faceBrush);
    const POINT triangle[3] = {
        {width / 4, height / 5},
        {width / 4, 3 * height / 4},
        {4 * width / 5, height / 2},
    };
    HGDIOBJ oldBrush = SelectObject(dc, player.playing ? player.activeBrush : player.idleBrush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, triangle, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

static void PressPlay()
{
    // Only a paused or stopped track can be started.
    if (!player.trackOpen || player.playing)
        return;
    if (player.backEnd == Mp3Engine) {
        // A stopped engine track is rewound and restarted like a paused
        // one; left alone, the engine would report "not playing" at the
        // next tick and the player would skip to another entry.
        vbmp3_seek(0);
        vbmp3_restart();
    } else {
        SendMci("seek music to start");
        SendMci("play music notify", nullptr, 0, player.mainWindow);
    }
    player.playing = 1;
    player.paused = 0;
    player.stopped = 0;
    EnableWindow(player.trackBar, TRUE);
    RepaintFace();
}

static void DoubleClickPlay()
{
    // The press before this message has already started a paused or
    // stopped track, so a double-click always advances.
    if (player.playing)
        PlayTrack(-1);
}

LRESULT CALLBACK PlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintControl(window, PaintPlayButton);
        break;
    case WM_LBUTTONDOWN:
        PressPlay();
        break;
    case WM_LBUTTONDBLCLK:
        DoubleClickPlay();
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
