#include "playlist/playlist.h"

#include "app/player_state.h"

void AddEntry(const char *path) { player.playlist.push_back(path); }

void ClearPlaylist() { player.playlist.clear(); }

void RemoveEntry(int index) { player.playlist.erase(player.playlist.begin() + index); }

int PlaylistCount() { return static_cast<int>(player.playlist.size()); }

const char *PlaylistEntry(int index) { return player.playlist[index].c_str(); }
