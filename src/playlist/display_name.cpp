#include "playlist/display_name.h"

#include "core/paths.h"

const char *DisplayName(const char *path)
{
    const char *last = LastBackslash(path);
    if (!last || last == path)
        return path;
    return last + 1;
}
