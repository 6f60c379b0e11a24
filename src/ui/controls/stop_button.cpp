// The stop button: a square that is never lit; a press stops the track
// and rewinds it to its beginning.
#include "ui/controls/controls.h"

#include "app/player_state.h"
#include "playback/mci.h"
#include "playback/mp3_engine.h"
#include "ui/ui.h"

#include <commctrl.h>

void PaintStopButton(HDC dc, int width, int height)
{
    PaintButtonBody(dc, width, height, player.faceBrush);
    const RECT square = {2 * width / 7, height / 4, 5 * width / 7, 3 * height / 4};
    FillRect(dc, &square, player.idleBrush);
}

static void PressStop()
{
    if (!(player.playing || player.paused) || player.stopped)
        return;
    if (player.backEnd == Mp3Engine) {
        vbmp3_stop();
        vbmp3_seek(0);
    } else {
        SendMci("stop music");
        SendMci("seek music to start wait");
    }
    player.stopped = 1;
    player.playing = 0;
    player.paused = 0;
    // The time text keeps the position reached; only the slider rewinds.
    SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 0);
    EnableWindow(player.trackBar, FALSE);
    RepaintFace();
}

LRESULT CALLBACK StopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintControl(window, PaintStopButton);
        break;
    case WM_LBUTTONDOWN:
        PressStop();
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
