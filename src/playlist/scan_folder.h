// The folder scan: a folder's music files as playlist entries.
#pragma once

// Appends the folder's files that match the scan patterns, pattern by
// pattern, in the order the file system lists them.
void ScanFolder(const char *folder);
