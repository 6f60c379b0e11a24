#include "common/program_runner.h"

#include "common/test_support.h"
#include "playlist/narrow_path.h"

#include <cstring>

namespace {
struct WindowSearch {
    DWORD processId;
    const char *className;
    HWND found;
};

BOOL CALLBACK FindWindowOfSearch(HWND window, LPARAM data)
{
    WindowSearch *search = reinterpret_cast<WindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && IsWindowVisible(window) && std::strcmp(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindProcessWindow(DWORD processId, const char *className)
{
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(FindWindowOfSearch, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool StartProgram(const std::string &exe, const std::string &arguments, const std::string &folder,
                  ProgramProcess &program)
{
    return StartProgram(WidenText(exe.c_str()), WidenText(arguments.c_str()), WidenText(folder.c_str()), program);
}

bool StartProgram(const std::wstring &exe, const std::wstring &arguments, const std::wstring &folder,
                  ProgramProcess &program)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &program.process))
        return false;
    DWORD processId = program.process.dwProcessId;
    return WaitUntil([&] { return (program.window = FindProcessWindow(processId, "CWindow")) != nullptr; });
}

DWORD CloseProgram(ProgramProcess &program)
{
    if (program.window)
        PostMessageA(program.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.process.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(program.process.hProcess, 1);
    DWORD exitCode = 1234;
    GetExitCodeProcess(program.process.hProcess, &exitCode);
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
    program = ProgramProcess();
    return exitCode;
}

namespace {
BOOL CALLBACK CollectStaticText(HWND child, LPARAM out)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Static") == 0 && text[0])
        reinterpret_cast<std::vector<std::string> *>(out)->push_back(text);
    return TRUE;
}
} // namespace

std::vector<std::string> StaticTexts(HWND dialog)
{
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

AboutBox ReadAboutBox(ProgramProcess &program)
{
    AboutBox about;
    if (!program.window)
        return about;
    DWORD processId = program.process.dwProcessId;
    const WPARAM aboutCommand = 16;
    PostMessageA(program.window, WM_COMMAND, aboutCommand, 0);
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindProcessWindow(processId, "#32770")) != nullptr; }))
        return about;
    for (const std::string &text : StaticTexts(box))
        about.text += text;
    char title[64] = "";
    GetWindowTextA(box, title, sizeof title);
    about.title = title;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return about;
}
