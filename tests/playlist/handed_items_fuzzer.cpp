// Native fuzz target: a block of handed items as another process may send
// it. Unpacking reads nothing beyond the block, and what it yields packs
// and unpacks again to the same items.
#include "playlist/handed_items.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::wstring> items = UnpackHandedItems(data, size);
    for (const std::wstring &item : items)
        if (item.empty() || item.find(L'\0') != std::wstring::npos)
            std::abort();
    std::wstring block = PackHandedItems(items);
    if (UnpackHandedItems(block.data(), block.size() * sizeof(wchar_t)) != items)
        std::abort();
    return 0;
}
