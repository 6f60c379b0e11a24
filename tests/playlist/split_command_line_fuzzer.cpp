// Native fuzz target: the command-line splitter against a strtok reference,
// on any bytes the tail may hold.
#include "playlist/split_command_line.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static std::vector<std::string> ReferenceSplit(const std::string &tail)
{
    std::vector<std::string> items;
    size_t length = tail.size();
    if (length == 0)
        return items;
    if (tail[0] == '"' && tail[length - 1] == '"' &&
        (length <= 2 || tail.find('"', 1) == length - 1)) {
        items.push_back(length >= 2 ? tail.substr(1, length - 2) : std::string());
        return items;
    }
    std::vector<char> copy(tail.begin(), tail.end());
    copy.push_back('\0');
    for (char *token = std::strtok(copy.data(), " "); token; token = std::strtok(nullptr, " "))
        items.push_back(token);
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
