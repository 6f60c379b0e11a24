// Start-up, split from the message loop so that tests can bring the player
// up in-process and drive it with messages.
#pragma once

#include <windows.h>

// Takes the current folder out of the library search: it is the user's
// music folder and may hold anything. The engine still loads from beside
// the program, the platform's libraries from the system folder.
void KeepLibrariesOutOfTheCurrentFolder();

// Runs start-up up to the message loop: drawing resources, random seed,
// window classes, main window, scan patterns, background picture, showing
// the window, and the playlist with its first track. The MP3 engine is
// looked for only when an MP3 first needs it.
HWND StartPlayer(HINSTANCE instance, const wchar_t *commandTail, int showCommand);

// Dispatches messages until the quit message; returns its wParam.
int RunMessageLoop();

void RegisterWindowClasses(HINSTANCE instance);

const char MainWindowClass[] = "CWindow";
const char ProductName[] = "Tunewell";
const int MainWindowWidth = 250;
const int MainWindowHeight = 100;
