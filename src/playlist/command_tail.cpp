#include "playlist/command_tail.h"

static bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

const wchar_t *CommandTail(const wchar_t *commandLine)
{
    const wchar_t *at = commandLine;
    if (*at == L'"') {
        ++at;
        while (*at && *at != L'"')
            ++at;
        if (*at == L'"')
            ++at;
    } else {
        while (*at && !IsBlank(*at))
            ++at;
    }
    while (IsBlank(*at))
        ++at;
    return at;
}
