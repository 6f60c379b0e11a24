// The right-click menu: its commands, and how it is built before each
// showing.
#pragma once

#include <windows.h>

#include <string>

// Context menu commands; playlist entry i is FirstEntry + i.
enum MenuCommand {
    LoadFile = 11,
    ExportList = 12,
    ToggleRepeat = 13,
    RemoveCurrent = 14,
    About = 16,
    FirstEntry = 20
};

void BuildContextMenu();
// WM_RBUTTONDOWN: shows the menu where the face was clicked.
void OnRButtonDown(HWND window, LPARAM position);
// A file name as a menu entry's text: every "&" doubled.
std::string MenuText(const char *name);
