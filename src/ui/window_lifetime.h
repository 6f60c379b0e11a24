// What the main window builds as it is created and releases as it is
// destroyed.
#pragma once

#include <windows.h>

void OnCreate(HWND window);
void OnDestroy();
