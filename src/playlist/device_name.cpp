#include "playlist/device_name.h"

#include <cstddef>
#include <cstring>

// Shift-JIS lead bytes; the byte after one belongs to the same character.
static bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The last element, walked by characters.
static const char *LastElement(const char *path)
{
    const char *element = path;
    for (const char *c = path; *c;) {
        if (IsLeadByte(static_cast<unsigned char>(*c)) && c[1]) {
            c += 2;
            continue;
        }
        if (IsSeparator(*c))
            element = c + 1;
        ++c;
    }
    return element;
}

static bool IsDeviceStem(const char *stem, size_t length)
{
    static const char *const names[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    char upper[8];
    if (length >= sizeof upper)
        return false;
    for (size_t i = 0; i < length; ++i)
        upper[i] = Upper(stem[i]);
    upper[length] = '\0';
    for (const char *name : names)
        if (std::strcmp(upper, name) == 0)
            return true;
    return length == 4 && (std::strncmp(upper, "COM", 3) == 0 || std::strncmp(upper, "LPT", 3) == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

bool NamesADevice(const char *path)
{
    if (IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '.' || path[2] == '?') && IsSeparator(path[3]))
        return true;
    // The name counts up to its first dot or colon, without the spaces
    // before it: "aux.wma", "AUX .mid" and "com1:" are all devices.
    const char *element = LastElement(path);
    size_t length = std::strcspn(element, ".:");
    while (length > 0 && element[length - 1] == ' ')
        --length;
    return IsDeviceStem(element, length);
}
