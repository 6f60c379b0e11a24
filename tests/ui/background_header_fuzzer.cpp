// Arbitrary bytes for the background picture's header check. Whatever it
// accepts, every byte the platform would then read (the header by its own
// size, the colours it names, the pixel rows) must lie inside the file:
// the check is redone here independently, and each such byte is touched in
// an exact-size copy so that AddressSanitizer sees any read past the end.
#include "ui/bmp_header.h"

#include <cstdint>
#include <cstring>

static uint32_t U32(const unsigned char *at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    unsigned char *bytes = new unsigned char[size];
    if (size)
        std::memcpy(bytes, data, size);

    BmpPicture picture;
    if (CheckBmpHeader(bytes, size, picture)) {
        if (size < 54 || bytes[0] != 0x42 || (bytes[28] | bytes[29] << 8) != 24)
            __builtin_trap();
        uint64_t headerSize = U32(bytes + 14);
        uint64_t infoSize = (headerSize < 40 ? 40 : headerSize) + 4ull * U32(bytes + 46);
        if (14 + infoSize > size || infoSize != picture.infoSize)
            __builtin_trap();

        int32_t width = static_cast<int32_t>(U32(bytes + 18));
        int32_t height = static_cast<int32_t>(U32(bytes + 22));
        uint64_t rows = height < 0 ? 0ull - static_cast<uint64_t>(static_cast<int64_t>(height)) : height;
        uint64_t rowBytes = width > 0 ? (static_cast<uint64_t>(width) * 24 + 31) / 32 * 4 : 0;
        uint64_t pixelOffset = U32(bytes + 10);
        if (width != picture.width || height != picture.height || pixelOffset != picture.pixelOffset)
            __builtin_trap();
        if (pixelOffset + rows * rowBytes > size || rows * rowBytes != picture.pixelBytes)
            __builtin_trap();

        volatile unsigned sum = 0;
        for (uint64_t i = 0; i < infoSize; ++i)
            sum = sum + bytes[14 + i];
        for (uint64_t i = 0; i < rows * rowBytes; ++i)
            sum = sum + bytes[pixelOffset + i];
    }
    delete[] bytes;
    return 0;
}
