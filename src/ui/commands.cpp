#include "ui/ui.h"

void OnCommand(HWND, int) {}
