// Start-up's filling of the playlist; start-up then starts the first
// track.
#pragma once

// Adds the command-line items (the tail in its wide form), or without any
// the entries of "list.txt" in `currentDirectory` or else the directory's
// own files. An empty
// `currentDirectory` (too long for a path buffer) is not looked into.
void AddStartupEntries(const wchar_t *tail, const char *currentDirectory);
