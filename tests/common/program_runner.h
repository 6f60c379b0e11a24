// The real program as a process of its own, and the texts of the windows
// it shows: started, found, read and closed the same way by every test
// that runs it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ProgramProcess {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr; // its main window, once shown
};

// Starts `exe` with `arguments` in `folder` and waits (bounded) for its
// main window to show; false when either fails.
bool StartProgram(const std::string &exe, const std::string &arguments, const std::string &folder,
                  ProgramProcess &program);
// The same with a wide command line and folder, for names that code page
// 932 cannot hold.
bool StartProgram(const std::wstring &exe, const std::wstring &arguments, const std::wstring &folder,
                  ProgramProcess &program);
// The visible top-level window of the process with that class, or null.
HWND FindProcessWindow(DWORD processId, const char *className);
// Closes the program's main window, waits (bounded) for the process to end
// and returns its exit code; a process that does not end is terminated.
DWORD CloseProgram(ProgramProcess &program);

// The texts of a dialog's or message box's static children that hold any,
// in the platform's order.
std::vector<std::string> StaticTexts(HWND dialog);

// Opens the About box of a running program, reads its texts and closes it
// again. Empty when no box came up.
struct AboutBox {
    std::string title;
    std::string text; // its static texts, one after the other
};
AboutBox ReadAboutBox(ProgramProcess &program);
