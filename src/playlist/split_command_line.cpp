// Kept free of windows.h so that it builds natively for fuzzing.
#include "playlist/split_command_line.h"

// The rules look only at spaces and double quotes, which are whole
// characters in both forms: in code page 932 neither byte is ever the
// second byte of a double-byte character.
template <typename Char> static std::vector<std::basic_string<Char>> SplitItems(const Char *tail)
{
    typedef std::basic_string<Char> Text;
    const Char space = ' ';
    const Char quote = '"';
    std::vector<Text> items;
    Text whole(tail);
    size_t length = whole.size();
    if (length == 0)
        return items;

    // One quoted path: quotes at both ends and none between them. A lone
    // quote is both ends at once.
    if (whole[0] == quote && whole[length - 1] == quote) {
        bool quoteInside = length > 2 && whole.find(quote, 1) < length - 1;
        if (!quoteInside) {
            items.push_back(length >= 2 ? whole.substr(1, length - 2) : Text());
            return items;
        }
    }

    // Otherwise split at spaces only; tabs and quotes stay in the tokens.
    size_t position = 0;
    while (position < length) {
        while (position < length && whole[position] == space)
            ++position;
        size_t start = position;
        while (position < length && whole[position] != space)
            ++position;
        if (position > start)
            items.push_back(whole.substr(start, position - start));
    }
    return items;
}

std::vector<std::string> SplitCommandLine(const char *tail) { return SplitItems(tail); }

std::vector<std::wstring> SplitCommandLine(const wchar_t *tail) { return SplitItems(tail); }
