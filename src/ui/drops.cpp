// Files and folders handed to the player from the shell: dropped on the
// face, or passed on by a second start of the program.
#include "ui/drops.h"

#include "core/player_state.h"
#include "playback/play_track.h"
#include "playlist/folder.h"
#include "playlist/handed_items.h"
#include "playlist/narrow_path.h"
#include "playlist/scan_folder.h"
#include "playlist/store.h"
#include "ui/load_or_play.h"
#include "ui/main_window.h"
#include "ui/on_demand_libraries.h"

#include <cstring>

static bool ControlKeyDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

// Narrows a handed item into `item` and pathBuffer. False, and pathBuffer
// untouched, for an item that must be skipped: one that no narrow path
// names, or one too long for a path buffer (cut short, it would name a
// different file).
static bool NarrowItem(const std::wstring &wide, NarrowPath &item)
{
    if (!MakeNarrowPath(wide, item) || item.path.size() > MAX_PATH)
        return false;
    std::memcpy(player.pathBuffer, item.path.c_str(), item.path.size() + 1);
    return true;
}

// One item says what it is by its name or kind; Ctrl keeps the list for a
// plain file.
static void TakeOneItem(const std::wstring &wide)
{
    NarrowPath item;
    if (!NarrowItem(wide, item))
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
static void TakeSeveralItems(const std::vector<std::wstring> &items)
{
    ClearPlaylist();
    for (size_t i = 0; PlaylistCount() < MaxPlaylistEntries && i < items.size(); ++i) {
        NarrowPath item;
        if (!NarrowItem(items[i], item))
            continue;
        if (IsFolder(player.pathBuffer))
            ScanFolder(player.pathBuffer);
        else
            AddEntry(player.pathBuffer, item.title.c_str());
    }
    if (PlaylistCount() > 0)
        PlayTrack(-1);
}

static void TakeItems(const std::vector<std::wstring> &items)
{
    // Any drop ends repeat, a background picture included.
    player.repeatMode = 0;
    if (items.size() == 1)
        TakeOneItem(items[0]);
    else
        TakeSeveralItems(items);
}

void OnDropFiles(HWND, HDROP drop)
{
    UINT count = QueryDroppedFile(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::wstring> items(count);
    for (UINT i = 0; i < count; ++i) {
        UINT length = QueryDroppedFile(drop, i, nullptr, 0);
        std::wstring wide(length + 1, L'\0');
        // An item that cannot be read stays empty and is skipped.
        if (QueryDroppedFile(drop, i, &wide[0], length + 1) == length)
            items[i] = wide.substr(0, length);
    }
    FinishDrop(drop);
    TakeItems(items);
}

bool OnCopyData(const COPYDATASTRUCT *data)
{
    if (!data || data->dwData != HandedItemsTag)
        return false;
    std::vector<std::wstring> items = UnpackHandedItems(data->lpData, data->cbData);
    if (items.empty())
        return false;
    // The starting program waits only so long for the answer; opening the
    // first track can take longer than that. The block is the sender's and
    // goes with the reply, so it has been copied out by now.
    ReplyMessage(TRUE);
    TakeItems(items);
    return true;
}
