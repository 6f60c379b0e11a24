// The face: its resources, the layout of the children, the background
// picture and the painting of one frame.
#pragma once

#include <windows.h>

// Repaints the whole face, children included, before returning.
void RepaintFace();
// Repaints only the time text, before returning.
void RepaintTime();
// WM_PAINT
void OnPaint(HWND window);

// P(D, k): D × 0.01 × k in double precision, truncated toward zero.
int Proportion(int dimension, int percent);
void LayoutChildren(int width, int height);
// Measures the client area, places the children, makes the face's fonts
// and surfaces and fills the background.
void SetUpDrawing(HWND window);

// The face's resources (face_resources.cpp). The brushes and pens are made
// at start-up before any window exists; the fonts and the frame and
// background surfaces once the main window's client size is known.
// DestroyFace releases all of them, in the reverse order.
void CreateDrawingResources();
void CreateFaceSurfaces(HWND window);
void DestroyFace();
// Composes the face into frameDC, draws the bevel on `windowDC` and shows
// the frame there at (1, 1).
void PaintFace(HDC windowDC);
// The same for the part of the window inside `area` (window coordinates).
void PaintFaceArea(HDC windowDC, const RECT &area);
bool LoadBackground(const char *path);
