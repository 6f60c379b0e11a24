#include "playlist/command_line.h"

#include "app/paths.h"
#include "app/player_state.h"
#include "playback/play_track.h"
#include "playlist/playlist.h"

static void AddCommandLineItems(const char *tail)
{
    std::vector<std::string> items = SplitCommandLine(tail);
    size_t next = 0;
    // Only the first item may name a folder; later items go in as they are.
    if (!items.empty() && GetFileAttributesA(items[0].c_str()) == FILE_ATTRIBUTE_DIRECTORY) {
        ScanFolder(items[0].c_str());
        next = 1;
    }
    for (; next < items.size(); ++next) {
        if (PlaylistCount() >= MaxPlaylistEntries)
            break;
        AddEntry(items[next].c_str());
    }
}

static void AddCurrentDirectoryEntries(const char *currentDirectory)
{
    if (!currentDirectory[0])
        return;
    char listPath[PathBufferSize];
    if (JoinPath(listPath, currentDirectory, "list.txt"))
        LoadPlaylistFile(listPath);
    if (PlaylistCount() == 0)
        ScanFolder(currentDirectory);
}

void AddStartupEntries(const char *tail, const char *currentDirectory)
{
    if (tail[0])
        AddCommandLineItems(tail);
    else
        AddCurrentDirectoryEntries(currentDirectory);
}

void FillPlaylist(const char *tail, const char *currentDirectory)
{
    AddStartupEntries(tail, currentDirectory);
    if (PlaylistCount() > 0)
        PlayTrack(-1);
}
