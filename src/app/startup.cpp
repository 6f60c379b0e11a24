#include "app/startup.h"

#include "core/current_directory.h"
#include "core/paths.h"
#include "core/player_state.h"
#include "playback/play_track.h"
#include "playlist/startup_entries.h"
#include "playlist/narrow_path.h"
#include "ui/controls/controls.h"
#include "ui/face.h"
#include "ui/main_window.h"
#include "ui/on_demand_libraries.h"

#include <commctrl.h>

#include <cstdlib>
#include <ctime>

void RegisterWindowClasses(HINSTANCE instance)
{
    // The slider is the common controls' trackbar: its class must exist
    // before the main window creates it.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    struct ClassEntry {
        const char *name;
        WNDPROC procedure;
    };
    const ClassEntry classes[] = {
        {MainWindowClass, MainWindowProc},   {"LabelWindow", LabelWindowProc},
        {"SwitchWindow", SwitchWindowProc}, {"PlayWindow", PlayWindowProc},
        {"PauseWindow", PauseWindowProc},   {"StopWindow", StopWindowProc},
    };
    for (const ClassEntry &entry : classes) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = entry.procedure;
        windowClass.hInstance = instance;
        // "IDI_ICON1" names no system icon, so the main window has none.
        windowClass.hIcon = entry.procedure == MainWindowProc ? LoadIconA(nullptr, "IDI_ICON1") : nullptr;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        windowClass.lpszClassName = entry.name;
        RegisterClassA(&windowClass);
    }
}

void KeepLibrariesOutOfTheCurrentFolder()
{
    // Any folder named here takes the current folder's place in the search.
    // The empty name does that on Windows, but Wine reads it as "back to the
    // usual search", current folder included; the program's own folder,
    // which is searched first anyway, does it on both.
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetModuleFileNameW(nullptr, folder, MAX_PATH + 1);
    wchar_t *last = length > 0 && length <= MAX_PATH ? wcsrchr(folder, L'\\') : nullptr;
    if (last) {
        *last = L'\0';
        if (SetDllDirectoryW(folder))
            return;
    }
    SetDllDirectoryA("");
}

HWND StartPlayer(HINSTANCE instance, const wchar_t *commandTail, int showCommand)
{
    CreateDrawingResources();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    RegisterWindowClasses(instance);

    player.mainWindow = CreateWindowExA(0, MainWindowClass, ProductName, WS_POPUP, CW_USEDEFAULT,
                                        CW_USEDEFAULT, MainWindowWidth, MainWindowHeight, nullptr,
                                        nullptr, instance, nullptr);

    // Today's formats come after the four of old, which keep their order.
    player.filePatterns = {"*.mid", "*.wav", "*.mp3", "*.wma", "*.flac", "*.ogg", "*.opus", "*.m4a"};

    // A current directory that no narrow path names, or too long for a path
    // buffer, leaves D empty: the picture and list file are then looked for
    // in no folder at all.
    char currentDirectory[PathBufferSize];
    CurrentDirectoryWithBackslash(currentDirectory);
    char backgroundPath[PathBufferSize];
    if (currentDirectory[0] && JoinPath(backgroundPath, currentDirectory, "bg.bmp"))
        LoadBackground(backgroundPath);

    ShowWindow(player.mainWindow, showCommand);
    UpdateWindow(player.mainWindow);
    AcceptDrops(player.mainWindow);

    player.currentIndex = 0;
    player.elapsedSeconds = 0;
    player.totalSeconds = 0;

    player.startFolder = CurrentDirectoryWide();
    AddStartupEntries(commandTail, currentDirectory);
    PlayTrack(-1);
    return player.mainWindow;
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
