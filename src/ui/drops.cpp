// Files and folders dropped on the face from the shell.
#include "ui/ui.h"

#include "app/player_state.h"
#include "playback/play_track.h"
#include "playlist/playlist.h"
#include "ui/handed_path.h"

#include <shellapi.h>

static bool ControlKeyDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

// One item says what it is by its name or kind; Ctrl keeps the list for a
// plain file.
static void DropOneItem(HDROP drop)
{
    char *path = player.pathBuffer;
    DragQueryFileA(drop, 0, path, PathBufferSize);
    // The name is tested before the kind: a folder called x.txt is read as
    // a list file.
    if (EndsWith(path, ".bmp")) {
        ShowBackgroundPicture(path);
    } else if (EndsWith(path, ".txt")) {
        PlayListFile(path);
    } else if (IsPlainFolder(path)) {
        ClearPlaylist();
        ScanFolder(path);
        if (PlaylistCount() > 0)
            PlayTrack(-1);
    } else {
        PlayAddedPath(path, ControlKeyDown());
    }
}

// Several items replace the list; every file among them is a track,
// whatever its name.
static void DropSeveralItems(HDROP drop, UINT items)
{
    ClearPlaylist();
    for (UINT i = 0; PlaylistCount() < MaxPlaylistEntries && i < items; ++i) {
        DragQueryFileA(drop, i, player.pathBuffer, PathBufferSize);
        if (IsPlainFolder(player.pathBuffer))
            ScanFolder(player.pathBuffer);
        else
            AddEntry(player.pathBuffer);
    }
}

void OnDropFiles(HWND, HDROP drop)
{
    UINT items = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    // Any drop ends repeat, a background picture included.
    player.repeatMode = 0;
    if (items == 1) {
        DropOneItem(drop);
        DragFinish(drop);
    } else {
        DropSeveralItems(drop, items);
        DragFinish(drop);
        if (PlaylistCount() > 0)
            PlayTrack(-1);
    }
}
