#include "playlist/store.h"

#include "core/player_state.h"
#include "playlist/display_name.h"

// The titles follow the entries through every change; a list filled in
// one go by assignment has none, which reads as "the path's own name".
void AddEntry(const char *path, const char *title)
{
    player.entryTitles.resize(player.playlist.size());
    player.playlist.push_back(path);
    player.entryTitles.push_back(title);
}

void ClearPlaylist()
{
    player.playlist.clear();
    player.entryTitles.clear();
}

void RemoveEntry(int index)
{
    player.playlist.erase(player.playlist.begin() + index);
    if (static_cast<size_t>(index) < player.entryTitles.size())
        player.entryTitles.erase(player.entryTitles.begin() + index);
}

int PlaylistCount() { return static_cast<int>(player.playlist.size()); }

const char *PlaylistEntry(int index) { return player.playlist[index].c_str(); }

const char *EntryTitle(int index)
{
    if (static_cast<size_t>(index) < player.entryTitles.size() && !player.entryTitles[index].empty())
        return player.entryTitles[index].c_str();
    return DisplayName(PlaylistEntry(index));
}
