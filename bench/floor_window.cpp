// The smallest program that does what the player does, for the player's
// benchmark to stand beside: a 250 × 100 pop-up window and a message loop,
// built the same way as the player. Options add one thing each:
//
//   --init ENGINE.dll    the engine loaded and vbmp3_init called first
//   --libraries          the player's further libraries loaded first (the
//                        common controls with their classes, the common
//                        dialogs, the shell)
//   --mci FILE           after the window, MCI opens and plays FILE once
//   --engine ENGINE.dll FILE
//                        the engine loaded and ready first; after the
//                        window, the engine plays FILE
//   --poll               a 300 ms timer asks the position of what plays
//                        (MCI or the engine) and shows nothing
//
// After that it only runs its message loop; the benchmark ends it.
#include "vbmp3.h"

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <cstring>

namespace {

typedef int(__stdcall *EngineCall)();
typedef int(__stdcall *EngineOpen)(const char *, void *);
typedef int(__stdcall *EngineGetState)(int *);

HMODULE engineModule;
InfoRecord engineInfo;
EngineGetState engineGetState;
bool playingThroughEngine;

template <typename T> T Bind(const char *name)
{
    return reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(engineModule, name)));
}

bool LoadEngine(const char *path)
{
    engineModule = LoadLibraryA(path);
    if (!engineModule)
        return false;
    EngineCall init = Bind<EngineCall>("vbmp3_init");
    return init && init() == 1;
}

void PlayThroughEngine(const char *path)
{
    EngineOpen open = Bind<EngineOpen>("vbmp3_open");
    EngineCall play = Bind<EngineCall>("vbmp3_play");
    engineGetState = Bind<EngineGetState>("vbmp3_getState");
    if (open && play && engineGetState && open(path, &engineInfo))
        playingThroughEngine = play() != 0;
}

void LoadPlayerLibraries()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    typedef BOOL(WINAPI * InitControls)(const INITCOMMONCONTROLSEX *);
    HMODULE common = LoadLibraryA("comctl32.dll");
    InitControls init = reinterpret_cast<InitControls>(
        reinterpret_cast<void *>(GetProcAddress(common, "InitCommonControlsEx")));
    if (init)
        init(&controls);
    LoadLibraryA("comdlg32.dll");
    LoadLibraryA("shell32.dll");
}

// What the player's timer must do at the least: ask the position.
void AskPosition()
{
    if (playingThroughEngine) {
        int position = 0;
        engineGetState(&position);
    } else {
        char reply[16] = "";
        mciSendStringA("status music position wait", reply, sizeof reply, nullptr);
    }
}

void PlayThroughMci(HWND window, const char *path)
{
    char command[MAX_PATH + 64];
    wsprintfA(command, "open \"%s\" alias music wait", path);
    if (mciSendStringA(command, nullptr, 0, nullptr) == 0)
        mciSendStringA("play music notify", nullptr, 0, window);
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        AskPosition();
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // The arguments are plain ASCII paths from the benchmark.
    const char *enginePath = nullptr, *mciFile = nullptr, *engineFile = nullptr;
    bool init = false, libraries = false, poll = false;
    for (int i = 1; i < __argc; ++i) {
        const char *option = __argv[i];
        if (std::strcmp(option, "--init") == 0 && i + 1 < __argc) {
            init = true;
            enginePath = __argv[++i];
        } else if (std::strcmp(option, "--engine") == 0 && i + 2 < __argc) {
            enginePath = __argv[++i];
            engineFile = __argv[++i];
        } else if (std::strcmp(option, "--mci") == 0 && i + 1 < __argc) {
            mciFile = __argv[++i];
        } else if (std::strcmp(option, "--libraries") == 0) {
            libraries = true;
        } else if (std::strcmp(option, "--poll") == 0) {
            poll = true;
        }
    }

    bool engineReady = (init || engineFile) && LoadEngine(enginePath);
    if (libraries)
        LoadPlayerLibraries();

    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = FloorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = "FloorWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "FloorWindow", "Floor", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, 250, 100,
                                  nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    if (mciFile)
        PlayThroughMci(window, mciFile);
    if (engineFile && engineReady)
        PlayThroughEngine(engineFile);
    if (poll)
        SetTimer(window, 1, 300, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}
