// Paths of code page 932 in buffers of PathBufferSize bytes; every
// backslash test steps by characters, not bytes.
#pragma once

#include "core/player_state.h"

// Joins `base` and `name` into a path buffer of PathBufferSize bytes.
// A result longer than 260 characters is refused (false, out left empty)
// rather than cut into a different path.
bool JoinPath(char (&out)[PathBufferSize], const char *base, const char *name);

// The last backslash of a path, or null. Walks the path character by
// character, so the second byte of a double-byte character (0x5C in 表 or
// ソ) is never taken for a backslash.
const char *LastBackslash(const char *path);

// Whether the path's last character is a backslash.
bool EndsInBackslash(const char *path);

// Case-insensitive test of the path's ending; a shorter path has no such
// ending.
bool EndsWith(const char *path, const char *suffix);
