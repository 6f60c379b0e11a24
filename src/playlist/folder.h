// The one test of whether a path the user gave names a folder: the command
// line's first item, list-file lines, a dropped item and a chosen file all
// ask it here.
#pragma once

// True when the path exists and is a folder, whatever else it is marked:
// a customised folder is read-only, and hidden, system, archive and
// cloud-placeholder bits are common on a user's own folders.
bool IsFolder(const char *path);
