#include "playlist/narrow_path.h"

#include "core/current_directory.h"
#include "core/paths.h"
#include "playlist/display_name.h"

#include <windows.h>

#include <cstring>

const UINT ShiftJis = 932;

bool ConvertExactly(const std::wstring &wide, std::string &narrow)
{
    narrow.clear();
    if (wide.empty())
        return true;
    int size = WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    narrow.resize(static_cast<size_t>(size));
    BOOL usedDefault = FALSE;
    int written = WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                      &narrow[0], size, nullptr, &usedDefault);
    return written == size && !usedDefault;
}

std::string ConvertForShowing(const std::wstring &wide)
{
    if (wide.empty())
        return std::string();
    int size = WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, "?", nullptr);
    std::string narrow(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(ShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &narrow[0],
                            size, "?", nullptr);
    return narrow;
}

static bool ReadIdentity(const std::wstring &path, BY_HANDLE_FILE_INFORMATION &identity)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL read = GetFileInformationByHandle(file, &identity);
    CloseHandle(file);
    return read != 0;
}

// Short names can collide: one may open a sibling file. Only the same
// volume and file index make it the same file.
static bool NameTheSameFile(const std::wstring &one, const std::wstring &other)
{
    BY_HANDLE_FILE_INFORMATION a, b;
    return ReadIdentity(one, a) && ReadIdentity(other, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

static std::wstring ShortForm(const std::wstring &wide)
{
    DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring shortPath(size, L'\0');
    DWORD length = GetShortPathNameW(wide.c_str(), &shortPath[0], size);
    if (length == 0 || length >= size)
        return std::wstring();
    shortPath.resize(length);
    return shortPath;
}

bool MakeNarrowPath(const std::wstring &wide, NarrowPath &out)
{
    out.title.clear();
    if (ConvertExactly(wide, out.path))
        return true;
    // A volume without short names hands back the long path, which does not
    // convert either.
    std::wstring shortPath = ShortForm(wide);
    if (shortPath.empty() || !ConvertExactly(shortPath, out.path) || !NameTheSameFile(wide, shortPath)) {
        out.path.clear();
        return false;
    }
    out.title = DisplayName(ConvertForShowing(wide).c_str());
    return true;
}

std::wstring WidenText(const char *text)
{
    int size = MultiByteToWideChar(ShiftJis, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(ShiftJis, 0, text, -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size - 1));
    return wide;
}

bool CurrentDirectoryWithBackslash(char (&out)[PathBufferSize])
{
    out[0] = '\0';
    std::wstring wide = CurrentDirectoryWide();
    NarrowPath folder;
    if (wide.empty() || !MakeNarrowPath(wide, folder))
        return false;
    // By characters: a folder named 表 ends in the byte 0x5C but needs its
    // backslash all the same.
    if (!EndsInBackslash(folder.path.c_str()))
        folder.path += '\\';
    if (folder.path.size() > MAX_PATH)
        return false;
    std::memcpy(out, folder.path.c_str(), folder.path.size() + 1);
    return true;
}

std::string TitleOfNarrowPath(const char *path)
{
    std::wstring wide = WidenText(path);
    DWORD size = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0)
        return std::string();
    std::wstring longPath(size, L'\0');
    DWORD length = GetLongPathNameW(wide.c_str(), &longPath[0], size);
    if (length == 0 || length >= size)
        return std::string();
    longPath.resize(length);
    std::string shown = DisplayName(ConvertForShowing(longPath).c_str());
    return shown == DisplayName(path) ? std::string() : shown;
}
