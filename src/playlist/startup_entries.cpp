#include "playlist/startup_entries.h"

#include "core/paths.h"
#include "core/player_state.h"
#include "playlist/folder.h"
#include "playlist/list_file.h"
#include "playlist/narrow_path.h"
#include "playlist/scan_folder.h"
#include "playlist/split_command_line.h"
#include "playlist/store.h"

// Every folder among the items is scanned and every other item is an entry,
// as with several items dropped on the window, while the list has room.
static void AddCommandLineItems(const wchar_t *tail)
{
    std::vector<std::wstring> items = SplitCommandLine(tail);
    for (size_t next = 0; next < items.size() && PlaylistCount() < MaxPlaylistEntries; ++next) {
        // An item that no narrow path can name is left out.
        NarrowPath item;
        if (!MakeNarrowPath(items[next], item))
            continue;
        if (IsFolder(item.path.c_str()))
            ScanFolder(item.path.c_str());
        else
            AddEntry(item.path.c_str(), item.title.c_str());
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

void AddStartupEntries(const wchar_t *tail, const char *currentDirectory)
{
    if (tail[0])
        AddCommandLineItems(tail);
    else
        AddCurrentDirectoryEntries(currentDirectory);
}
