#include "playlist/handed_items.h"

#include <cstring>

std::wstring PackHandedItems(const std::vector<std::wstring> &items)
{
    std::wstring block;
    for (const std::wstring &item : items) {
        block += item;
        block += L'\0';
    }
    return block;
}

std::vector<std::wstring> UnpackHandedItems(const void *block, size_t bytes)
{
    std::vector<std::wstring> items;
    if (!block || bytes > MaxHandedItemsBytes)
        return items;
    // Copied out: the block need not be aligned for wide characters.
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(&text[0], block, text.size() * sizeof(wchar_t));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\0', start);
        if (end == std::wstring::npos)
            end = text.size();
        if (end > start)
            items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}
