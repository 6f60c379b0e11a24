// The smallest program that does what the player does, for the player's
// benchmark to stand beside: a 250 × 100 pop-up window and a message loop,
// built the same way as the player. What it does besides depends on the
// first argument:
//
//   floor_window.exe                      the window alone
//   floor_window.exe --init ENGINE.dll    the engine loaded and vbmp3_init
//                                         called first, then the window
//   floor_window.exe --mci FILE           the window, then MCI opens and
//                                         plays FILE once
//   floor_window.exe --engine ENGINE.dll FILE
//                                         the engine loaded and ready, the
//                                         window, then the engine plays FILE
//
// After that it only runs its message loop; the benchmark ends it.
#include "vbmp3.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

namespace {

typedef int(__stdcall *EngineCall)();
typedef int(__stdcall *EngineOpen)(const char *, void *);

HMODULE engineModule;
InfoRecord engineInfo;

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
    if (open && play && open(path, &engineInfo))
        play();
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
    int argc = __argc;
    char **argv = __argv;
    const char *mode = argc > 1 ? argv[1] : "";
    bool init = std::strcmp(mode, "--init") == 0 && argc > 2;
    bool mci = std::strcmp(mode, "--mci") == 0 && argc > 2;
    bool engine = std::strcmp(mode, "--engine") == 0 && argc > 3;

    bool engineReady = (init || engine) && LoadEngine(argv[2]);

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

    if (mci)
        PlayThroughMci(window, argv[2]);
    if (engine && engineReady)
        PlayThroughEngine(argv[3]);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}
