#include "ui/ui.h"

void BuildContextMenu() {}
void OnRButtonDown(HWND, LPARAM) {}
