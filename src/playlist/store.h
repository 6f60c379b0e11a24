// The playlist store: up to 99 paths in play order, each with the text
// the title and the menu show for it.
#pragma once

// Adders stop taking paths once the list holds this many entries.
const int MaxPlaylistEntries = 99;

// `title`, when given, is what the title and the menu show for the entry
// instead of the path's own file name.
void AddEntry(const char *path, const char *title = "");
void ClearPlaylist();
void RemoveEntry(int index);
int PlaylistCount();
const char *PlaylistEntry(int index);
// What the title and the menu show for the entry.
const char *EntryTitle(int index);
