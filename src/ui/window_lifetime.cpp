// What the main window builds when it is created and releases when it is
// destroyed: the dialogs' records, the children, the timer and the media
// keys, and the face (whose resources face_resources.cpp makes and
// releases).
#include "ui/window_lifetime.h"

#include "core/player_state.h"
#include "playback/reports.h"
#include "playback/transport.h"
#include "ui/face.h"
#include "ui/main_window.h"
#include "ui/media_keys.h"
#include "ui/playback_reports.h"

#include <commctrl.h>

// Filter lists: description and pattern pairs, each NUL-terminated, with
// one more NUL to end the list.
static const char OpenFilter[] =
    "音声ファイル(*.mid;*.mp3;*.wma;*.wav;*.flac;*.ogg;*.opus;*.m4a)\0*.mid;*.mp3;*.wma;*.wav;*.flac;*.ogg;*.opus;*.m4a\0"
    "すべてのファイル(*.*)\0*.*\0";
static const char SaveFilter[] = "すべてのファイル(*.*)\0*.*\0";

// The record size of the first common-dialog release, without the three
// fields later releases appended.
const DWORD DialogRecordSize = 76;

static void FillDialogRecord(OPENFILENAMEA &dialog, HWND owner, const char *filter, const char *title,
                             DWORD flags)
{
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = DialogRecordSize;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = player.pathBuffer;
    dialog.nMaxFile = 255;
    dialog.lpstrFileTitle = player.fileTitleBuffer;
    dialog.nMaxFileTitle = 255;
    dialog.lpstrTitle = title;
    dialog.Flags = flags;
}

static HWND CreateChild(HWND parent, const char *className, int id)
{
    return CreateWindowExA(0, className, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           nullptr);
}

// Windows draws the common controls of a program that asks for no visual
// styles the classic way; Wine themes them anyway, and a themed slider
// blends theme pictures each time its thumb moves, once a second while a
// track plays. A class list that names no class leaves the slider without
// a theme. The theme library is used only when it is already loaded:
// without it, no control is themed.
static void DrawClassic(HWND control)
{
    HMODULE themes = GetModuleHandleA("uxtheme.dll");
    using SetTheme = HRESULT(WINAPI *)(HWND, const wchar_t *, const wchar_t *);
    SetTheme setTheme =
        themes ? reinterpret_cast<SetTheme>(reinterpret_cast<void *>(GetProcAddress(themes, "SetWindowTheme")))
               : nullptr;
    if (setTheme)
        setTheme(control, L" ", L" ");
}

void OnCreate(HWND window)
{
    // mainWindow is not set yet: creation uses the handle it was given.
    FillDialogRecord(player.openDialog, window, OpenFilter, "開く", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    FillDialogRecord(player.saveDialog, window, SaveFilter, "リストファイル保存",
                     OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);

    ListenToPlayback(window);
    player.labelWindow = CreateChild(window, "LabelWindow", LabelId);
    player.trackBar = CreateChild(window, TRACKBAR_CLASSA, TrackBarId);
    player.closeButton = CreateChild(window, "SwitchWindow", CloseId);
    player.playButton = CreateChild(window, "PlayWindow", PlayId);
    player.pauseButton = CreateChild(window, "PauseWindow", PauseId);
    player.stopButton = CreateChild(window, "StopWindow", StopId);
    DrawClassic(player.trackBar);
    EnableWindow(player.trackBar, FALSE);

    SetUpDrawing(window);
    RegisterMediaKeys(window);
}

void OnDestroy()
{
    DestroyMenu(player.playlistMenu);
    DestroyMenu(player.contextMenu);
    player.playlistMenu = nullptr;
    player.contextMenu = nullptr;

    EndPlayback();
    ResetPlaybackReports();

    // OnCreate backwards.
    UnregisterMediaKeys(player.mainWindow);
    KillTimer(player.mainWindow, PollTimerId);

    DestroyFace();

    PostQuitMessage(0);
}
