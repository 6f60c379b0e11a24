// Everything the face draws with, made here and released here. It is made
// in two steps, the brushes and pens at start-up before any window exists,
// the fonts and the two off-screen surfaces when the main window is created
// and its size is known; DestroyFace releases both in the reverse order.
#include "core/palette.h"
#include "core/player_state.h"
#include "ui/face.h"

void CreateDrawingResources()
{
    player.backgroundBrush = CreateSolidBrush(BackgroundColour);
    player.lightPen = CreatePen(PS_SOLID, 1, LightPenColour);
    player.darkPen = CreatePen(PS_SOLID, 1, DarkPenColour);
    player.labelBrush = CreateSolidBrush(LabelColour);
    player.closeBrush = CreateSolidBrush(CloseColour);
    player.frameBrush = CreateSolidBrush(FrameColour);
    player.faceBrush = CreateSolidBrush(FaceColour);
    player.activeBrush = CreateSolidBrush(ActiveColour);
    player.idleBrush = CreateSolidBrush(IdleColour);
}

static HFONT CreateFaceFont(int height, int weight)
{
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, nullptr);
}

static void CreateMemoryDC(HDC model, int width, int height, HDC &dc, HBITMAP &bitmap, HGDIOBJ &firstBitmap)
{
    bitmap = CreateCompatibleBitmap(model, width, height);
    dc = CreateCompatibleDC(model);
    firstBitmap = SelectObject(dc, bitmap);
}

void CreateFaceSurfaces(HWND window)
{
    int width = player.clientRect.right;
    int height = player.clientRect.bottom;
    // Heights are percentages of the client height.
    player.titleFont = CreateFaceFont(Proportion(height, 16), 600);
    player.timeFont = CreateFaceFont(Proportion(height, 14), 600);
    player.counterFont = CreateFaceFont(Proportion(height, 12), 500);

    // The window's own DC only serves as the model for the two off-screen
    // surfaces; both are one pixel smaller on every side for the bevel.
    HDC windowDC = GetDC(window);
    CreateMemoryDC(windowDC, width - 2, height - 2, player.frameDC, player.frameBitmap, player.frameFirstBitmap);
    CreateMemoryDC(windowDC, width - 2, height - 2, player.backgroundDC, player.backgroundBitmap,
                   player.backgroundFirstBitmap);
    ReleaseDC(window, windowDC);
}

static void DeleteMemoryDC(HDC &dc, HBITMAP &bitmap, HGDIOBJ &firstBitmap)
{
    // A bitmap still selected into a DC is not deleted: it goes out first.
    if (dc)
        SelectObject(dc, firstBitmap);
    DeleteDC(dc);
    DeleteObject(bitmap);
    dc = nullptr;
    bitmap = nullptr;
    firstBitmap = nullptr;
}

// Deletes a brush, pen or font and forgets it.
template <typename Handle> static void Delete(Handle &object)
{
    DeleteObject(object);
    object = nullptr;
}

void DestroyFace()
{
    // CreateFaceSurfaces backwards.
    DeleteMemoryDC(player.backgroundDC, player.backgroundBitmap, player.backgroundFirstBitmap);
    DeleteMemoryDC(player.frameDC, player.frameBitmap, player.frameFirstBitmap);
    Delete(player.counterFont);
    Delete(player.timeFont);
    Delete(player.titleFont);

    // CreateDrawingResources backwards.
    Delete(player.idleBrush);
    Delete(player.activeBrush);
    Delete(player.faceBrush);
    Delete(player.frameBrush);
    Delete(player.closeBrush);
    Delete(player.labelBrush);
    Delete(player.darkPen);
    Delete(player.lightPen);
    Delete(player.backgroundBrush);
}
