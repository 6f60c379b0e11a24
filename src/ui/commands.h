// The right-click menu's commands.
#pragma once

#include <windows.h>

// WM_COMMAND with a menu command or a playlist entry's id.
void OnCommand(HWND window, int id);
