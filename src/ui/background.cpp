// The background picture: a 24-bit BMP file read in one go and stretched
// onto the face, or refused without a word.
#include "core/player_state.h"
#include "ui/bmp_header.h"
#include "ui/face.h"

#include <cstdlib>

static void DrawPicture(const unsigned char *bytes, const BmpPicture &picture)
{
    // The default stretch mode is kept: the picture fills the face
    // whatever its aspect ratio. The source rectangle counts rows upward
    // whichever way they are stored (the header's sign says that), so a
    // top-down picture's height goes in without its sign.
    StretchDIBits(player.backgroundDC, 0, 0, player.clientRect.right - 2, player.clientRect.bottom - 2, 0, 0,
                  picture.width, std::abs(picture.height), bytes + picture.pixelOffset,
                  reinterpret_cast<const BITMAPINFO *>(bytes + BmpInfoAt), DIB_RGB_COLORS, SRCCOPY);
}

bool LoadBackground(const char *path)
{
    // No sharing: a picture that another program holds open is left alone.
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr);
    HGLOBAL block = size == INVALID_FILE_SIZE ? nullptr : GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    DWORD got = 0;
    if (block && !ReadFile(file, block, size, &got, nullptr))
        got = 0;
    CloseHandle(file);
    if (!block)
        return false;

    // Only the bytes actually read count: a file that shrank meanwhile is
    // judged by what arrived.
    const unsigned char *bytes = static_cast<const unsigned char *>(block);
    BmpPicture picture;
    bool accepted = CheckBmpHeader(bytes, got, picture);
    if (accepted)
        DrawPicture(bytes, picture);
    GlobalFree(block);
    return accepted;
}
