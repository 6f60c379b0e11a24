#include "playlist/playlist.h"

#include "app/paths.h"
#include "app/player_state.h"

// Appends base + name unless the joined path would not fit into a path
// buffer: a cut-off path would name a different file, so it is skipped.
static void AddFoundEntry(const char *base, const char *name)
{
    char entry[PathBufferSize];
    if (JoinPath(entry, base, name))
        AddEntry(entry);
}

void ScanFolder(const char *folder)
{
    char base[PathBufferSize];
    if (!JoinPath(base, folder, EndsInBackslash(folder) ? "" : "\\"))
        return;

    for (const std::string &pattern : player.filePatterns) {
        char search[PathBufferSize] = {};
        if (!JoinPath(search, base, pattern.c_str()))
            continue;
        WIN32_FIND_DATAA found;
        HANDLE listing = FindFirstFileA(search, &found);
        if (listing == INVALID_HANDLE_VALUE)
            continue;
        // The first match of every pattern goes in even when the list is
        // full; the rest only while there is room.
        AddFoundEntry(base, found.cFileName);
        while (FindNextFileA(listing, &found)) {
            if (PlaylistCount() >= MaxPlaylistEntries)
                break;
            AddFoundEntry(base, found.cFileName);
        }
        FindClose(listing);
    }
}
