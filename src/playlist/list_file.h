// List files: plain text, one path per line, read into the playlist and
// written out of it.
#pragma once

#include <string>

// Replaces the playlist by the entries of a list file.
void LoadPlaylistFile(const char *path);
// Writes every entry followed by CR LF (code page 932, as the entries are
// kept) to the file of exactly that name; an existing file is replaced only
// once the new list is completely written.
void SavePlaylistFile(const std::wstring &path);
void SavePlaylistFile(const char *path);
