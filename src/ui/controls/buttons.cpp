// The body the four buttons share, and the close button, which is nothing
// but its body.
#include "core/player_state.h"
#include "ui/controls/controls.h"

void PaintControl(HWND window, void (*paint)(HDC dc, int width, int height))
{
    PAINTSTRUCT paintInfo;
    HDC dc = BeginPaint(window, &paintInfo);
    RECT bounds;
    GetWindowRect(window, &bounds);
    paint(dc, bounds.right - bounds.left, bounds.bottom - bounds.top);
    EndPaint(window, &paintInfo);
}

void PaintButtonBody(HDC dc, int width, int height, HBRUSH faceBrush)
{
    // The face inset by one pixel leaves a black outline.
    RECT whole = {0, 0, width, height};
    FillRect(dc, &whole, player.frameBrush);
    RECT face = {1, 1, width - 1, height - 1};
    FillRect(dc, &face, faceBrush);
}

void PaintCloseButton(HDC dc, int width, int height) { PaintButtonBody(dc, width, height, player.closeBrush); }

LRESULT CALLBACK SwitchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintControl(window, PaintCloseButton);
        break;
    case WM_LBUTTONDOWN:
        // Closing ends the program whatever plays: the main window's
        // destruction closes the track.
        DestroyWindow(player.mainWindow);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
