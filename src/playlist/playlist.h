// The playlist: up to 99 paths in play order, and every way a path enters
// or leaves it.
#pragma once

#include <string>
#include <vector>

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

// Appends the folder's files that match the scan patterns, pattern by
// pattern, in the order the file system lists them.
void ScanFolder(const char *folder);

// Replaces the playlist by the entries of a list file.
void LoadPlaylistFile(const char *path);
// Writes every entry followed by CR LF; an existing file is replaced only
// once the new list is completely written.
void SavePlaylistFile(const char *path);

// Splits a command-line tail into items: one whole-quoted path, or tokens
// separated by runs of spaces.
std::vector<std::string> SplitCommandLine(const char *tail);
std::vector<std::wstring> SplitCommandLine(const wchar_t *tail);

// Fills the playlist at start-up from the command-line tail, in its wide
// form, or, when it is empty, from "list.txt" in `currentDirectory` or the
// directory itself. `currentDirectory` ends in a backslash. Starts the
// first track.
void FillPlaylist(const wchar_t *tail, const char *currentDirectory);
