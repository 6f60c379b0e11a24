#include "playlist/display_name.h"

#include <cstring>

const char *DisplayName(const char *path)
{
    // Byte-wise on purpose: a 0x5C trail byte of a double-byte character
    // counts as a backslash, as it does for the platform's own path code.
    const char *last = std::strrchr(path, '\\');
    if (!last || last == path)
        return path;
    return last + 1;
}
