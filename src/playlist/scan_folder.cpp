#include "playlist/scan_folder.h"

#include "core/paths.h"
#include "core/player_state.h"
#include "playlist/narrow_path.h"
#include "playlist/store.h"

// Appends the found file unless its path would not fit into a path buffer:
// a cut-off path would name a different file, so it is skipped. A name
// that code page 932 cannot hold goes in by a narrow path that opens the
// same file, or is skipped when there is none.
static void AddFoundEntry(const char *base, const std::wstring &wideBase, const wchar_t *name)
{
    std::string narrowName;
    if (ConvertExactly(name, narrowName)) {
        char entry[PathBufferSize];
        if (JoinPath(entry, base, narrowName.c_str()))
            AddEntry(entry);
        return;
    }
    NarrowPath found;
    if (MakeNarrowPath(wideBase + name, found) && found.path.size() <= MAX_PATH)
        AddEntry(found.path.c_str(), found.title.c_str());
}

void ScanFolder(const char *folder)
{
    char base[PathBufferSize];
    if (!JoinPath(base, folder, EndsInBackslash(folder) ? "" : "\\"))
        return;
    // Listed in the wide form: the narrow listing hands back look-alike
    // spellings of the names code page 932 cannot hold.
    std::wstring wideBase = WidenText(base);

    for (const std::string &pattern : player.filePatterns) {
        char search[PathBufferSize] = {};
        if (!JoinPath(search, base, pattern.c_str()))
            continue;
        WIN32_FIND_DATAW found;
        HANDLE listing = FindFirstFileW(WidenText(search).c_str(), &found);
        if (listing == INVALID_HANDLE_VALUE)
            continue;
        // The first match of every pattern goes in even when the list is
        // full; the rest only while there is room.
        AddFoundEntry(base, wideBase, found.cFileName);
        while (FindNextFileW(listing, &found)) {
            if (PlaylistCount() >= MaxPlaylistEntries)
                break;
            AddFoundEntry(base, wideBase, found.cFileName);
        }
        FindClose(listing);
    }
}
