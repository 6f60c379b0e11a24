#include "playlist/list_file.h"

#include "core/player_state.h"
#include "playlist/folder.h"
#include "playlist/narrow_path.h"
#include "playlist/scan_folder.h"
#include "playlist/store.h"

#include <cstdio>
#include <cstring>

void LoadPlaylistFile(const char *path)
{
    // Emptied first, so a file that cannot be read leaves no old entries.
    ClearPlaylist();
    // Text mode: the runtime turns CR LF into LF before the line is cut.
    FILE *file = std::fopen(path, "r");
    if (!file)
        return;
    char line[512];
    while (PlaylistCount() < MaxPlaylistEntries) {
        // A line longer than 511 bytes arrives in pieces, each one an entry.
        if (!std::fgets(line, sizeof line, file))
            break;
        size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\n') {
            line[--length] = '\0';
            if (length > 0 && line[length - 1] == '\r')
                line[--length] = '\0';
        }
        if (IsFolder(line))
            ScanFolder(line);
        else
            AddEntry(line, TitleOfNarrowPath(line).c_str());
    }
    std::fclose(file);
}

// Length of the folder part of `path`, up to and including its last
// backslash, slash or drive colon.
static size_t FolderPartLength(const std::wstring &path)
{
    size_t last = path.find_last_of(L"\\/:");
    return last == std::wstring::npos ? 0 : last + 1;
}

// Creates a new, empty file beside `path` whose name is not yet taken.
static HANDLE CreateFileBeside(const std::wstring &path, std::wstring &created)
{
    const size_t nameLength = 11; // ~twXXXX.tmp
    size_t folderLength = FolderPartLength(path);
    if (folderLength + nameLength > MAX_PATH)
        return INVALID_HANDLE_VALUE;
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 8);
    for (DWORD attempt = 0; attempt < 64; ++attempt) {
        wchar_t name[16];
        wsprintfW(name, L"~tw%04X.tmp", static_cast<unsigned>((seed + attempt) & 0xFFFF));
        created = path.substr(0, folderLength) + name;
        HANDLE file = CreateFileW(created.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

static bool WriteAll(HANDLE file, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

void SavePlaylistFile(const std::wstring &path)
{
    // A folder or a read-only file is not replaced.
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return;

    std::string bytes;
    for (const std::string &entry : player.playlist) {
        bytes += entry;
        bytes += "\r\n";
    }

    // The new list goes to a file of its own first: a disk that fills up
    // part way must not cost the user the list that is already there.
    std::wstring temporary;
    HANDLE file = CreateFileBeside(path, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return;
    bool complete = WriteAll(file, bytes) && FlushFileBuffers(file);
    if (!CloseHandle(file))
        complete = false;
    if (complete && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return;
    DeleteFileW(temporary.c_str());
}

void SavePlaylistFile(const char *path) { SavePlaylistFile(WidenText(path)); }
