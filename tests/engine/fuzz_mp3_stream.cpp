// libFuzzer target for the MP3 stream parser: any bytes, no crash, no read
// outside the buffer, and an index that stays inside the file.
#include "mp3_stream.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Mp3Stream stream;
    if (!ParseMp3Stream(data, size, &stream))
        return 0;
    uint64_t previous = 0;
    for (uint32_t offset : stream.frames) {
        FrameHeader header;
        if (offset + 4 > size || !ParseFrameHeader(data + offset, &header) ||
            offset + uint64_t(header.frameBytes) > size || !HeadersAgree(header, stream.format) ||
            offset < previous)
            std::abort();
        previous = offset + uint64_t(header.frameBytes);
    }
    if (stream.totalSamples > stream.decodedSamples || stream.audioEnd > size)
        std::abort();
    return 0;
}
