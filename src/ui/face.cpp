// The main window's face: composed off-screen in frameDC over the
// background picture, then shown inside a one-pixel bevel.
#include "ui/face.h"

#include "core/palette.h"
#include "core/player_state.h"
#include "ui/dc_selection.h"
#include "ui/main_window.h"

void SetUpDrawing(HWND window)
{
    GetClientRect(window, &player.clientRect);
    int width = player.clientRect.right;
    int height = player.clientRect.bottom;
    LayoutChildren(width, height);
    CreateFaceSurfaces(window);
    FillRect(player.backgroundDC, &player.clientRect, player.backgroundBrush);
}

static void DrawBevel(HDC windowDC, int width, int height)
{
    // Lines leave out their end point, so each corner belongs to exactly
    // one edge: the top right one is light, the bottom left one dark.
    ScopedSelection pen(windowDC, player.lightPen);
    MoveToEx(windowDC, width - 1, 0, nullptr);
    LineTo(windowDC, 0, 0);
    LineTo(windowDC, 0, height - 1);
    pen.Select(player.darkPen);
    LineTo(windowDC, width - 1, height - 1);
    LineTo(windowDC, width - 1, 0);
}

static void DrawTimeText(HDC dc)
{
    // Minutes are not limited: a track of 100 minutes or more shows three
    // digits of total minutes.
    char text[32];
    wsprintfA(text, "%02d:%02d/%02d:%02d", static_cast<int>(player.elapsedSeconds / 60),
              static_cast<int>(player.elapsedSeconds % 60), static_cast<int>(player.totalSeconds / 60),
              static_cast<int>(player.totalSeconds % 60));
    ScopedTextStyle style(dc, TextColour);
    ScopedSelection font(dc, player.timeFont);
    RECT place = player.timeRect;
    DrawTextA(dc, text, -1, &place, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

void PaintFaceArea(HDC windowDC, const RECT &area)
{
    int width = player.clientRect.right;
    int height = player.clientRect.bottom;
    // The frame sits one pixel inside the bevel. Only the part asked for is
    // composed afresh (the ticking time repaints a fifth of the face), and
    // with the whole of the time text when it touches it, so the text is
    // never drawn twice over the same background.
    const RECT frame = {0, 0, width - 2, height - 2};
    RECT part = area, timeTouched;
    OffsetRect(&part, -1, -1);
    bool withTime = IntersectRect(&timeTouched, &part, &player.timeRect) != FALSE;
    if (withTime)
        UnionRect(&part, &part, &player.timeRect);
    if (IntersectRect(&part, &part, &frame)) {
        int partWidth = part.right - part.left, partHeight = part.bottom - part.top;
        BitBlt(player.frameDC, part.left, part.top, partWidth, partHeight, player.backgroundDC, part.left, part.top,
               SRCCOPY);
        if (withTime)
            DrawTimeText(player.frameDC);
        BitBlt(windowDC, part.left + 1, part.top + 1, partWidth, partHeight, player.frameDC, part.left, part.top,
               SRCCOPY);
    }
    // The bevel is the window's outermost pixels: the ticking time never
    // reaches it.
    if (area.left <= 0 || area.top <= 0 || area.right >= width || area.bottom >= height)
        DrawBevel(windowDC, width, height);
}

void PaintFace(HDC windowDC) { PaintFaceArea(windowDC, player.clientRect); }

void RepaintTime()
{
    // The ticking time is drawn straight onto the window where it is shown
    // rather than invalidated and painted: the same pixels, without a paint
    // cycle's requests to the window system each second.
    RECT shown = player.timeRect;
    OffsetRect(&shown, 1, 1);
    HDC windowDC = GetDC(player.mainWindow);
    if (!windowDC)
        return;
    PaintFaceArea(windowDC, shown);
    ReleaseDC(player.mainWindow, windowDC);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC windowDC = BeginPaint(window, &paint);
    PaintFaceArea(windowDC, paint.rcPaint);
    EndPaint(window, &paint);
}

void RepaintFace()
{
    InvalidateRect(player.mainWindow, nullptr, FALSE);
    UpdateWindow(player.mainWindow);
}
