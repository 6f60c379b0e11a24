// Files and folders handed to the player from the shell.
#pragma once

#include <windows.h>
#include <shellapi.h>

// WM_DROPFILES: items dropped on the face.
void OnDropFiles(HWND window, HDROP drop);
// WM_COPYDATA: items a second start of the program hands over, taken as
// a drop of them. True when the message carried any.
bool OnCopyData(const COPYDATASTRUCT *data);
