#include "container_kind.h"

#include <cstring>

namespace {

// An Ogg page header is 27 bytes and a segment table of up to 255 bytes;
// the first packet's opening bytes follow it.
const size_t OggPageHeaderBytes = 27;
const size_t LookBytes = OggPageHeaderBytes + 255 + 8;
const int MostTagsInFront = 64;

// The first page of an Ogg stream: capture pattern, version 0, the
// beginning-of-stream flag, and its first packet's first bytes.
ContainerKind OggKind(const uint8_t *page, size_t size)
{
    if (size < OggPageHeaderBytes || page[4] != 0 || !(page[5] & 0x02))
        return ContainerOggOther;
    const size_t segments = page[26];
    const size_t body = OggPageHeaderBytes + segments;
    if (segments == 0 || body > size)
        return ContainerOggOther;
    const uint8_t *packet = page + body;
    const size_t packetBytes = size - body;
    if (packetBytes >= 7 && std::memcmp(packet, "\x01vorbis", 7) == 0)
        return ContainerOggVorbis;
    if (packetBytes >= 8 && std::memcmp(packet, "OpusHead", 8) == 0)
        return ContainerOggOpus;
    return ContainerOggOther;
}

} // namespace

ContainerKind DetectContainer(const ByteSource &source, uint64_t *audioStart)
{
    uint8_t look[LookBytes];
    uint64_t at = 0;
    *audioStart = 0;
    // Tags one after another, each read from its 10-byte header; a tag
    // that claims more than the file holds ends the search, and so does a
    // file of nothing but empty tags.
    for (int tags = 0; tags < MostTagsInFront; ++tags) {
        if (at >= source.size)
            return ContainerMpegAudio;
        size_t got = source.read(source.context, at, look, sizeof look);
        uint64_t tag = Id3v2TagBytes(look, got);
        if (tag == 0 || tag > source.size - at) {
            *audioStart = at;
            if (got >= 4 && std::memcmp(look, "fLaC", 4) == 0)
                return ContainerFlac;
            if (got >= 4 && std::memcmp(look, "OggS", 4) == 0)
                return OggKind(look, got);
            return ContainerMpegAudio;
        }
        at += tag;
    }
    return ContainerMpegAudio;
}
