// Files and folders dropped on the face from the shell.
#include "core/player_state.h"
#include "playback/play_track.h"
#include "playlist/folder.h"
#include "playlist/narrow_path.h"
#include "playlist/scan_folder.h"
#include "playlist/store.h"
#include "ui/load_or_play.h"
#include "ui/main_window.h"
#include "ui/on_demand_libraries.h"

#include <cstring>

static bool ControlKeyDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

// Reads dropped item `index` in its wide form into `item` and its narrow
// path into pathBuffer. False, and pathBuffer untouched, for an item that
// must be skipped: one that no narrow path names, or one too long for a
// path buffer (cut short, it would name a different file).
static bool QueryDroppedItem(HDROP drop, UINT index, NarrowPath &item)
{
    UINT length = QueryDroppedFile(drop, index, nullptr, 0);
    std::wstring wide(length + 1, L'\0');
    if (QueryDroppedFile(drop, index, &wide[0], length + 1) != length)
        return false;
    wide.resize(length);
    if (!MakeNarrowPath(wide, item) || item.path.size() > MAX_PATH)
        return false;
    std::memcpy(player.pathBuffer, item.path.c_str(), item.path.size() + 1);
    return true;
}

// One item says what it is by its name or kind; Ctrl keeps the list for a
// plain file.
static void DropOneItem(HDROP drop)
{
    NarrowPath item;
    if (!QueryDroppedItem(drop, 0, item))
        return;
    const char *path = player.pathBuffer;
    // The name is tested before the kind: a folder called x.txt is read as
    // a list file.
    if (EndsWith(path, ".bmp")) {
        ShowBackgroundPicture(path);
    } else if (EndsWith(path, ".txt")) {
        PlayListFile(path);
    } else if (IsFolder(path)) {
        ClearPlaylist();
        ScanFolder(path);
        if (PlaylistCount() > 0)
            PlayTrack(-1);
    } else {
        PlayAddedPath(path, item.title.c_str(), ControlKeyDown());
    }
}

// Several items replace the list; every file among them is a track,
// whatever its name.
static void DropSeveralItems(HDROP drop, UINT items)
{
    ClearPlaylist();
    for (UINT i = 0; PlaylistCount() < MaxPlaylistEntries && i < items; ++i) {
        NarrowPath item;
        if (!QueryDroppedItem(drop, i, item))
            continue;
        if (IsFolder(player.pathBuffer))
            ScanFolder(player.pathBuffer);
        else
            AddEntry(player.pathBuffer, item.title.c_str());
    }
}

void OnDropFiles(HWND, HDROP drop)
{
    UINT items = QueryDroppedFile(drop, 0xFFFFFFFF, nullptr, 0);
    // Any drop ends repeat, a background picture included.
    player.repeatMode = 0;
    if (items == 1) {
        DropOneItem(drop);
        FinishDrop(drop);
    } else {
        DropSeveralItems(drop, items);
        FinishDrop(drop);
        if (PlaylistCount() > 0)
            PlayTrack(-1);
    }
}
