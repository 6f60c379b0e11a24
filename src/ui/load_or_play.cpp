#include "ui/load_or_play.h"

#include "playback/play_track.h"
#include "playlist/list_file.h"
#include "playlist/store.h"
#include "ui/face.h"

#include <cstring>

void ShowBackgroundPicture(const char *path)
{
    LoadBackground(path);
    RepaintFace();
}

void PlayListFile(const char *path)
{
    LoadPlaylistFile(path);
    if (PlaylistCount() > 0)
        PlayTrack(-1);
}

void PlayAddedPath(const char *path, const char *title, bool keepList)
{
    if (!keepList)
        ClearPlaylist();
    // No limit test: a path added on its own may take the list past 99.
    AddEntry(path, title);
    PlayTrack(PlaylistCount() - 1);
}
