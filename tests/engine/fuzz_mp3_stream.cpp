// libFuzzer target for the MP3 stream parser: any bytes, no crash, no read
// outside the buffer, an index that stays inside the file, and the same
// index when the file is read a small window at a time.
#include "memory_source.h"
#include "mp3_stream.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Mp3Stream stream;
    bool parsed = ParseMp3Stream(data, size, &stream);
    Memory memory = {data, size};
    ByteSource source = {size, ReadMemory, &memory, 7 + size % 61};
    Mp3Stream windowed;
    if (ParseMp3Source(source, &windowed) != parsed)
        std::abort();
    if (!parsed)
        return 0;
    if (windowed.frames != stream.frames || windowed.totalSamples != stream.totalSamples ||
        windowed.flags != stream.flags || windowed.audioStart != stream.audioStart ||
        windowed.audioEnd != stream.audioEnd || windowed.leadSamples != stream.leadSamples)
        std::abort();
    uint64_t previous = 0;
    for (uint32_t offset : stream.frames) {
        FrameHeader header;
        if (offset + 4 > size || !ParseFrameHeader(data + offset, &header, stream.freeFormatBytes) ||
            offset + uint64_t(header.frameBytes) > size || !HeadersAgree(header, stream.format) ||
            offset < previous)
            std::abort();
        previous = offset + uint64_t(header.frameBytes);
    }
    if (stream.totalSamples > stream.decodedSamples || stream.audioEnd > size)
        std::abort();
    return 0;
}
