// libFuzzer target for telling a file's kind from its first bytes: any
// bytes, no crash, no read outside the buffer, a start inside the file,
// and a kind that its bytes bear out.
#include "container_kind.h"
#include "memory_source.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Memory memory = {data, size};
    ByteSource source = {size, ReadMemory, &memory, 0};
    uint64_t start = ~0ull;
    ContainerKind kind = DetectContainer(source, &start);
    if (kind == ContainerMpegAudio)
        return 0;
    if (start > size)
        std::abort();
    const char *magic = kind == ContainerFlac ? "fLaC" : "OggS";
    if (size - start < 4 || std::memcmp(data + start, magic, 4) != 0)
        std::abort();
    return 0;
}
