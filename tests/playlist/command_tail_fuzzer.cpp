// Native fuzz target: the command-line tail on any wide command line. The
// tail is a suffix of the line, never starts with a blank, and never
// reaches into the program name.
#include "playlist/command_tail.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Two bytes a character, as the platform's wide text.
    std::wstring line;
    for (size_t i = 0; i + 1 < size; i += 2)
        line += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    line = line.substr(0, line.find(L'\0'));

    const wchar_t *tail = CommandTail(line.c_str());
    size_t start = static_cast<size_t>(tail - line.c_str());
    if (start > line.size())
        std::abort();
    if (*tail == L' ' || *tail == L'\t')
        std::abort();
    // The name ends at its closing quote, or at the first blank.
    size_t nameEnd = line.empty() || line[0] != L'"' ? line.find_first_of(L" \t") : line.find(L'"', 1);
    if (nameEnd == std::wstring::npos)
        nameEnd = line.size();
    else if (!line.empty() && line[0] == L'"')
        ++nameEnd;
    if (start < nameEnd && start != line.size())
        std::abort();
    for (size_t i = nameEnd; i < start; ++i)
        if (line[i] != L' ' && line[i] != L'\t')
            std::abort();
    return 0;
}
