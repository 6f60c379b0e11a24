// The play button: a triangle lit while playing; a press starts the open
// track again from its beginning, a double-click while playing advances.
#include "core/player_state.h"
#include "playback/play_track.h"
#include "playback/transport.h"
#include "ui/controls/controls.h"
#include "ui/dc_selection.h"

void PaintPlayButton(HDC dc, int width, int height)
{
    PaintButtonBody(dc, width, height, player.faceBrush);
    const POINT triangle[3] = {
        {width / 4, height / 5},
        {width / 4, 3 * height / 4},
        {4 * width / 5, height / 2},
    };
    ScopedSelection brush(dc, player.playing ? player.activeBrush : player.idleBrush);
    ScopedSelection pen(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, triangle, 3);
}

void PressPlay()
{
    // Only a paused or stopped track can be started.
    if (!player.trackOpen || player.playing)
        return;
    RestartTrack();
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
