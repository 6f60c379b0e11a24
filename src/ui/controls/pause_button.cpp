// The pause button: two bars lit while paused; a press pauses a playing
// track or resumes a paused one where it was.
#include "core/player_state.h"
#include "playback/transport.h"
#include "ui/controls/controls.h"

static void PaintBar(HDC dc, const RECT &bar)
{
    FillRect(dc, &bar, player.paused ? player.activeBrush : player.idleBrush);
    FrameRect(dc, &bar, player.idleBrush);
}

void PaintPauseButton(HDC dc, int width, int height)
{
    PaintButtonBody(dc, width, height, player.faceBrush);
    const RECT left = {2 * width / 7, height / 4, 3 * width / 7, 3 * height / 4};
    const RECT right = {4 * width / 7, height / 4, 5 * width / 7, 3 * height / 4};
    PaintBar(dc, left);
    PaintBar(dc, right);
}

void PressPause()
{
    if (!player.trackOpen || player.stopped)
        return;
    if (player.paused)
        ResumeTrack();
    else
        PauseTrack();
}

LRESULT CALLBACK PauseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintControl(window, PaintPauseButton);
        break;
    case WM_LBUTTONDOWN:
        PressPause();
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
