#include "core/current_directory.h"

#include <windows.h>

std::wstring CurrentDirectoryWide()
{
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0)
        return std::wstring();
    std::wstring folder(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, &folder[0]);
    folder.resize(length < size ? length : 0);
    return folder;
}

CurrentDirectoryKept::CurrentDirectoryKept() : folder_(CurrentDirectoryWide()) {}

CurrentDirectoryKept::~CurrentDirectoryKept()
{
    if (!folder_.empty())
        SetCurrentDirectoryW(folder_.c_str());
}
