// The checks a background picture file must pass before its bytes are
// handed to the platform. A pure function of the file's bytes, so it
// also builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the picture's parts lie in the file.
const size_t BmpPixelOffsetAt = 10;
const size_t BmpInfoAt = 14;

struct BmpPicture {
    uint32_t pixelOffset; // from the start of the file
    int32_t width;
    int32_t height;       // negative for rows stored top-down
    size_t infoSize;      // bytes of header and colour table from BmpInfoAt
    size_t pixelBytes;    // bytes of rows from pixelOffset
};

// True when the whole file `bytes` of `size` bytes is a 24-bit picture
// whose header, colour table and pixel rows all lie inside those bytes;
// `picture` then says where they are. The second signature byte is not
// looked at.
bool CheckBmpHeader(const unsigned char *bytes, size_t size, BmpPicture &picture);
