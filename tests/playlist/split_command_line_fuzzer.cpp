// Native fuzz target: the command-line splitter against a reference that
// marks every space outside quotes as a cut first and then reads the
// pieces, on any bytes the tail may hold.
#include "playlist/split_command_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

static std::vector<std::string> ReferenceSplit(const std::string &tail)
{
    // A space is a cut when an even number of quotes comes before it.
    std::vector<bool> cut(tail.size());
    size_t quotes = 0;
    for (size_t i = 0; i < tail.size(); ++i) {
        cut[i] = tail[i] == ' ' && quotes % 2 == 0;
        quotes += tail[i] == '"';
    }
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t i = 0; i <= tail.size(); ++i) {
        if (i < tail.size() && !cut[i])
            continue;
        // The piece between two cuts is an item unless it is empty; its
        // quotes are dropped ("" is an empty item all the same).
        std::string piece = tail.substr(start, i - start);
        if (!piece.empty()) {
            std::string item;
            for (char c : piece)
                if (c != '"')
                    item += c;
            items.push_back(item);
        }
        start = i + 1;
    }
    return items;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The tail is a zero-terminated string: it ends at the first zero byte.
    std::string tail(reinterpret_cast<const char *>(data), size);
    tail = tail.c_str();
    if (SplitCommandLine(tail.c_str()) != ReferenceSplit(tail))
        std::abort();
    return 0;
}
