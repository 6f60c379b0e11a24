// A file held in memory, read the way the engine reads a file on disk:
// for the fuzzers, which feed the parsers bytes instead of files.
#pragma once

#include "mp3_stream.h"

#include <cstring>

struct Memory {
    const uint8_t *data;
    size_t size;
};

inline size_t ReadMemory(void *context, uint64_t offset, uint8_t *out, size_t bytes)
{
    const Memory *memory = static_cast<const Memory *>(context);
    if (offset >= memory->size)
        return 0;
    size_t count = memory->size - size_t(offset) < bytes ? memory->size - size_t(offset) : bytes;
    std::memcpy(out, memory->data + offset, count);
    return count;
}
