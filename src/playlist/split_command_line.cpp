// Kept free of windows.h so that it builds natively for fuzzing.
#include "playlist/split_command_line.h"

// The rules look only at spaces and double quotes, which are whole
// characters in both forms: in code page 932 neither byte is ever the
// second byte of a double-byte character.
//
// Items are split at spaces outside double quotes, as the shell quotes
// each name that holds a space ("E:\a b\x.mp3" "E:\y.mp3"). A double
// quote opens or closes a quoted run and is no part of the item; a
// backslash is an ordinary character, so "C:\My Music\" is that folder.
// A quoted run with nothing in it is an item of its own, empty.
template <typename Char> static std::vector<std::basic_string<Char>> SplitItems(const Char *tail)
{
    typedef std::basic_string<Char> Text;
    const Char space = ' ';
    const Char quote = '"';
    std::vector<Text> items;
    Text item;
    bool inItem = false;
    bool quoted = false;
    for (const Char *c = tail; *c; ++c) {
        if (*c == quote) {
            quoted = !quoted;
            inItem = true;
        } else if (*c == space && !quoted) {
            if (inItem)
                items.push_back(item);
            item.clear();
            inItem = false;
        } else {
            item += *c;
            inItem = true;
        }
    }
    if (inItem)
        items.push_back(item);
    return items;
}

std::vector<std::string> SplitCommandLine(const char *tail) { return SplitItems(tail); }

std::vector<std::wstring> SplitCommandLine(const wchar_t *tail) { return SplitItems(tail); }
