#include "playback/mp4_boxes.h"

#include <windows.h>

#include <cstdint>

static uint32_t BigEndian32(const uint8_t *bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

static bool ReadAt(HANDLE file, uint64_t offset, uint8_t *out, DWORD bytes)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, out, bytes, &got, nullptr) &&
           got == bytes;
}

// Walks the boxes from the start: true when they end, at or past the end of
// the file, before any media data box.
static bool BoxesEndWithoutMediaData(HANDLE file, uint64_t fileBytes)
{
    uint64_t offset = 0;
    // Media data comes within the first few boxes of any real file; a walk
    // that goes on longer leaves the file to the media player.
    for (int box = 0; box < 256; ++box) {
        if (offset == fileBytes)
            return box > 0;
        uint8_t header[16];
        if (offset + 8 > fileBytes || !ReadAt(file, offset, header, 8))
            return false;
        uint64_t boxBytes = BigEndian32(header);
        if (boxBytes == 1) {
            if (offset + 16 > fileBytes || !ReadAt(file, offset + 8, header + 8, 8))
                return false;
            boxBytes = uint64_t(BigEndian32(header + 8)) << 32 | BigEndian32(header + 12);
        } else if (boxBytes == 0) {
            boxBytes = fileBytes - offset; // the last box, to the end
        }
        const bool isType = header[4] == 'f' && header[5] == 't' && header[6] == 'y' && header[7] == 'p';
        const bool isMediaData = header[4] == 'm' && header[5] == 'd' && header[6] == 'a' && header[7] == 't';
        if ((box == 0 && !isType) || boxBytes < 8 || isMediaData)
            return false;
        if (boxBytes > fileBytes - offset)
            return true; // cut off inside a box that is not the media data
        offset += boxBytes;
    }
    return false;
}

bool HoldsNoMediaData(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool noMediaData = GetFileSizeEx(file, &size) && BoxesEndWithoutMediaData(file, uint64_t(size.QuadPart));
    CloseHandle(file);
    return noMediaData;
}
