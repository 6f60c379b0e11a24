#pragma once

#include "app/player_state.h"

// Joins `base` and `name` into a path buffer of PathBufferSize bytes.
// A result longer than 260 characters is refused (false, out left empty)
// rather than cut into a different path.
bool JoinPath(char (&out)[PathBufferSize], const char *base, const char *name);

// Reads the current directory, ending in a backslash. False (and empty)
// when it does not fit into a path buffer.
bool CurrentDirectoryWithBackslash(char (&out)[PathBufferSize]);
