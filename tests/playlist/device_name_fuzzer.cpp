// Native fuzz target: the device-name rule on any narrow path. It reads
// only the last element, whatever folder holds it and however its ASCII
// letters are written.
#include "playlist/device_name.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string path(reinterpret_cast<const char *>(data), size);
    path = path.substr(0, path.find('\0'));
    bool device = NamesADevice(path.c_str());

    if (!path.empty() && path[0] != '\\' && path[0] != '/' && NamesADevice(("C:\\Music\\" + path).c_str()) != device)
        std::abort();
    std::string lower = path;
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (NamesADevice(lower.c_str()) != device)
        std::abort();
    return 0;
}
