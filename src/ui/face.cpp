#include "ui/ui.h"

#include "app/player_state.h"

void SetUpDrawing(HWND window) { GetClientRect(window, &player.clientRect); }
void PaintFace(HDC) {}
void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}
