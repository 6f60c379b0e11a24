#include "core/paths.h"

#include <cstring>

bool JoinPath(char (&out)[PathBufferSize], const char *base, const char *name)
{
    size_t baseLength = std::strlen(base);
    size_t nameLength = std::strlen(name);
    out[0] = '\0';
    if (baseLength + nameLength > MAX_PATH)
        return false;
    std::memcpy(out, base, baseLength);
    std::memcpy(out + baseLength, name, nameLength + 1);
    return true;
}

const char *LastBackslash(const char *path)
{
    const char *last = nullptr;
    for (const char *c = path; *c; c = CharNextA(c))
        if (*c == '\\')
            last = c;
    return last;
}

bool EndsInBackslash(const char *path)
{
    const char *last = LastBackslash(path);
    return last && last[1] == '\0';
}

bool EndsWith(const char *path, const char *suffix)
{
    size_t length = std::strlen(path);
    size_t suffixLength = std::strlen(suffix);
    return length >= suffixLength && lstrcmpiA(path + length - suffixLength, suffix) == 0;
}
