// The stop button: a square that is never lit; a press stops the track
// and rewinds it to its beginning.
#include "core/player_state.h"
#include "playback/transport.h"
#include "ui/controls/controls.h"

void PaintStopButton(HDC dc, int width, int height)
{
    PaintButtonBody(dc, width, height, player.faceBrush);
    const RECT square = {2 * width / 7, height / 4, 5 * width / 7, 3 * height / 4};
    FillRect(dc, &square, player.idleBrush);
}

void PressStop()
{
    if (!(player.playing || player.paused) || player.stopped)
        return;
    StopTrack();
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
