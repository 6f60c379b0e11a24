// The mouse on the face: a drag moves the window, a double-click
// minimises it.
#pragma once

#include <windows.h>

void OnLButtonDown(HWND window, LPARAM position);
void OnMouseMove(HWND window, LPARAM position);
void OnLButtonUp();
void OnCaptureChanged(HWND window, HWND newCapture);
void OnLButtonDblClk();
