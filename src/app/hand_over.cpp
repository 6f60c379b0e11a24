#include "app/hand_over.h"

#include "app/startup.h"
#include "playlist/handed_items.h"
#include "playlist/split_command_line.h"

#include <windows.h>

// Wide throughout, so that names code page 932 cannot hold arrive whole.
static std::wstring AbsolutePath(const std::wstring &item)
{
    DWORD length = GetFullPathNameW(item.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return item;
    std::wstring full(length, L'\0');
    DWORD written = GetFullPathNameW(item.c_str(), length, &full[0], nullptr);
    if (written == 0 || written >= length)
        return item;
    full.resize(written);
    return full;
}

bool HandItemsToRunningPlayer(const wchar_t *tail)
{
    std::vector<std::wstring> items;
    for (const std::wstring &item : SplitCommandLine(tail))
        if (!item.empty())
            items.push_back(item);
    if (items.empty())
        return false;
    HWND running = FindWindowA(MainWindowClass, ProductName);
    if (!running)
        return false;
    for (std::wstring &item : items)
        item = AbsolutePath(item);

    std::wstring block = PackHandedItems(items);
    size_t bytes = block.size() * sizeof(wchar_t);
    if (bytes > MaxHandedItemsBytes)
        return false;
    COPYDATASTRUCT data = {};
    data.dwData = HandedItemsTag;
    data.cbData = static_cast<DWORD>(bytes);
    data.lpData = &block[0];
    DWORD_PTR taken = FALSE;
    // A player that hangs is not waited for.
    if (!SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 2000,
                             &taken))
        return false;
    return taken == TRUE;
}
