#include "ui/ui.h"

void OnLButtonDown(HWND, LPARAM) {}
void OnMouseMove(HWND, LPARAM) {}
void OnLButtonUp() {}
void OnLButtonDblClk() {}
