// The commands chosen from the context menu.
#include "ui/commands.h"

#include "core/player_state.h"
#include "playback/mp3_engine.h"
#include "playback/play_track.h"
#include "playback/transport.h"
#include "playlist/list_file.h"
#include "playlist/narrow_path.h"
#include "playlist/store.h"
#include "ui/context_menu.h"
#include "ui/file_dialogs.h"
#include "ui/load_or_play.h"
#include "ui/main_window.h"
#include "version.h"

static void LoadChosenFile()
{
    NarrowPath chosen;
    if (!ChooseFileToOpen(chosen))
        return;
    // Unlike a drop, a chosen file leaves the repeat mode as it is.
    const char *path = player.pathBuffer;
    if (EndsWith(path, ".bmp"))
        ShowBackgroundPicture(path);
    else if (EndsWith(path, ".txt"))
        PlayListFile(path);
    else
        PlayAddedPath(path, chosen.title.c_str(), false);
}

static void ExportPlaylist()
{
    std::wstring chosen;
    if (ChooseListFileToSave(chosen))
        SavePlaylistFile(chosen);
}

static void ToggleRepeatMode()
{
    player.repeatMode = !player.repeatMode;
    // The counter's colour shows the mode.
    InvalidateRect(player.labelWindow, nullptr, FALSE);
    UpdateWindow(player.labelWindow);
}

static void RemoveCurrentEntry()
{
    // Closed whatever trackOpen says: a stopped or failed device is closed
    // as well.
    CloseTrack();
    player.repeatMode = 0;
    // The list may have run empty while the menu was open, when the end of
    // a track found nothing playable; then there is nothing to remove.
    if (player.currentIndex < static_cast<uint32_t>(PlaylistCount()))
        RemoveEntry(static_cast<int>(player.currentIndex));
    if (PlaylistCount() > 0)
        PlayTrack(-1);
    else
        ShowIdle();
}

static void ShowAbout(HWND window)
{
    // The "v" tells that MP3 files go through the engine library.
    const char *text = Mp3EngineReady() ? "Tunewell Version " TUNEWELL_VERSION_TEXT "v"
                                                 : "Tunewell Version " TUNEWELL_VERSION_TEXT;
    MessageBoxA(window, text, "バージョン情報", MB_OK);
}

void OnCommand(HWND window, int id)
{
    switch (id) {
    case LoadFile:
        LoadChosenFile();
        break;
    case ExportList:
        ExportPlaylist();
        break;
    case ToggleRepeat:
        ToggleRepeatMode();
        break;
    case RemoveCurrent:
        RemoveCurrentEntry();
        break;
    case About:
        ShowAbout(window);
        break;
    }
    // The count is read now, not when the menu was built: entries may have
    // gone while it was open.
    if (id >= FirstEntry && id < PlaylistCount() + FirstEntry) {
        player.repeatMode = 0;
        PlayTrack(id - FirstEntry);
    }
}
