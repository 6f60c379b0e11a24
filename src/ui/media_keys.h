// The keyboard's media keys, as application commands to the focused
// window and as hot keys held while the main window lives.
#pragma once

#include <windows.h>

// An application command, which is true when it was one of the player's,
// and a hot key by its id.
bool OnAppCommand(int command);
void OnHotKey(int id);
// Takes the media keys as hot keys for `window`, each one that no other
// program holds; UnregisterMediaKeys gives them back.
void RegisterMediaKeys(HWND window);
void UnregisterMediaKeys(HWND window);
