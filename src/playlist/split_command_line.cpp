// Kept free of windows.h so that it builds natively for fuzzing.
#include "playlist/playlist.h"

#include <cstring>

std::vector<std::string> SplitCommandLine(const char *tail)
{
    std::vector<std::string> items;
    size_t length = std::strlen(tail);
    if (length == 0)
        return items;

    // One quoted path: quotes at both ends and none between them. A lone
    // quote is both ends at once.
    if (tail[0] == '"' && tail[length - 1] == '"') {
        bool quoteInside = length > 2 && std::memchr(tail + 1, '"', length - 2) != nullptr;
        if (!quoteInside) {
            items.push_back(length >= 2 ? std::string(tail + 1, length - 2) : std::string());
            return items;
        }
    }

    // Otherwise split at spaces only; tabs and quotes stay in the tokens.
    size_t position = 0;
    while (position < length) {
        while (position < length && tail[position] == ' ')
            ++position;
        size_t start = position;
        while (position < length && tail[position] != ' ')
            ++position;
        if (position > start)
            items.emplace_back(tail + start, position - start);
    }
    return items;
}
