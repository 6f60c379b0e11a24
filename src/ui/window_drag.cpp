// The borderless window moves when the user drags its face, and a double
// click minimises it.
#include "ui/window_drag.h"

#include "core/player_state.h"
#include "ui/main_window.h"

void OnLButtonDown(HWND window, LPARAM position)
{
    player.dragging = 1;
    player.dragAnchor.x = LOWORD(position);
    player.dragAnchor.y = HIWORD(position);
    SetCapture(window);
}

void OnMouseMove(HWND window, LPARAM position)
{
    if (!player.dragging)
        return;
    // Unsigned on purpose: under capture a pointer left of or above the
    // window reads as a large value and ends the drag like one beyond the
    // right or bottom edge.
    unsigned x = LOWORD(position);
    unsigned y = HIWORD(position);
    if (x > static_cast<unsigned>(player.clientRect.right) || y > static_cast<unsigned>(player.clientRect.bottom)) {
        OnLButtonUp();
        return;
    }
    RECT bounds;
    GetWindowRect(window, &bounds);
    // Only SWP_NOSIZE: each move also raises and activates the window.
    SetWindowPos(window, nullptr, bounds.left + static_cast<int>(x) - player.dragAnchor.x,
                 bounds.top + static_cast<int>(y) - player.dragAnchor.y, 0, 0, SWP_NOSIZE);
}

void OnLButtonUp()
{
    player.dragging = 0;
    ReleaseCapture();
}

// The capture went elsewhere (Alt+Tab, a right click, another program):
// the button-up will never come here, so the window stops following the
// pointer now.
void OnCaptureChanged(HWND window, HWND newCapture)
{
    if (newCapture != window)
        player.dragging = 0;
}

void OnLButtonDblClk() { CloseWindow(player.mainWindow); }
