#include "ui/bmp_header.h"

static uint32_t ReadU32(const unsigned char *at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

static uint16_t ReadU16(const unsigned char *at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

// Offsets of the header fields, from the start of the file.
const size_t HeaderSizeAt = 14;
const size_t WidthAt = 18;
const size_t HeightAt = 22;
const size_t BitCountAt = 28;
const size_t CompressionAt = 30;
const size_t ColoursUsedAt = 46;

const uint32_t InfoHeaderSize = 40;
const uint32_t UncompressedRgb = 0;

bool CheckBmpHeader(const unsigned char *bytes, size_t size, BmpPicture &picture)
{
    // Every size below is counted in 64 bits, which no sum or product of
    // the 32-bit fields can overflow.
    if (size < BmpInfoAt + InfoHeaderSize)
        return false;
    if (bytes[0] != 0x42 || ReadU16(bytes + BitCountAt) != 24)
        return false;

    // The platform reads the header by its own stated size and, when the
    // header names a colour count, that many colours after it. A smaller
    // header would move the width, height and bit count elsewhere.
    uint64_t headerSize = ReadU32(bytes + HeaderSizeAt);
    if (headerSize < InfoHeaderSize)
        return false;
    // Compressed rows would be read by a length taken on trust.
    if (ReadU32(bytes + CompressionAt) != UncompressedRgb)
        return false;
    uint64_t infoSize = headerSize + 4ull * ReadU32(bytes + ColoursUsedAt);
    if (infoSize > size - BmpInfoAt)
        return false;

    int32_t width = static_cast<int32_t>(ReadU32(bytes + WidthAt));
    int32_t height = static_cast<int32_t>(ReadU32(bytes + HeightAt));
    if (width <= 0 || height == 0)
        return false;
    uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : static_cast<int64_t>(height);
    // Each row of three bytes a pixel is padded to a multiple of four.
    uint64_t rowBytes = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;

    uint32_t pixelOffset = ReadU32(bytes + BmpPixelOffsetAt);
    if (pixelOffset > size)
        return false;
    uint64_t available = size - pixelOffset;
    if (rows > available / rowBytes)
        return false;

    picture.pixelOffset = pixelOffset;
    picture.width = width;
    picture.height = height;
    picture.infoSize = static_cast<size_t>(infoSize);
    picture.pixelBytes = static_cast<size_t>(rows * rowBytes);
    return true;
}
