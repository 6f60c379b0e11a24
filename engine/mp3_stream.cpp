#include "mp3_stream.h"

#include <cstring>

namespace {

const int Mpeg1Bitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
const int Mpeg2Bitrates[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
const int Mpeg1Rates[3] = {44100, 48000, 32000};

uint32_t BigEndian32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint32_t LittleEndian32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// The part of the file that the parser looks at. A file in memory is used
// in place; one behind a ByteSource is read a window at a time, so that
// the scan of a long file costs a few large reads.
class Window {
  public:
    Window(const uint8_t *memory, uint64_t size) : memory_(memory), end_(size) {}
    explicit Window(const ByteSource &source) : source_(&source), end_(source.size) {}

    // `bytes` bytes at `offset`, valid until the next call; null when the
    // file does not hold them all.
    const uint8_t *At(uint64_t offset, size_t bytes)
    {
        if (offset > end_ || bytes > end_ - offset)
            return nullptr;
        if (memory_)
            return memory_ + offset;
        if (offset >= start_ && offset - start_ <= filled_ && bytes <= filled_ - (offset - start_))
            return buffer_.data() + (offset - start_);
        return Fill(offset, bytes);
    }

  private:
    const uint8_t *Fill(uint64_t offset, size_t bytes)
    {
        size_t want = source_->windowBytes ? source_->windowBytes : DefaultWindowBytes;
        if (want < bytes)
            want = bytes;
        if (want > end_ - offset)
            want = size_t(end_ - offset);
        if (buffer_.size() < want)
            buffer_.resize(want);
        size_t got = source_->read(source_->context, offset, buffer_.data(), want);
        start_ = offset;
        filled_ = got < want ? got : want;
        // A short read means the file is shorter now than it was said to
        // be: it ends here, and nothing after it is asked for again.
        if (filled_ < want)
            end_ = offset + filled_;
        return filled_ >= bytes ? buffer_.data() : nullptr;
    }

    static constexpr size_t DefaultWindowBytes = 512 * 1024;
    const uint8_t *memory_ = nullptr;
    const ByteSource *source_ = nullptr;
    uint64_t end_;
    std::vector<uint8_t> buffer_;
    uint64_t start_ = 0;
    size_t filled_ = 0;
};

// Where the frame at `offset` ends if its header is valid and it lies
// wholly before `end`; 0 otherwise. `freeFormatBytes` as for
// ParseFrameHeader.
uint64_t FrameEnd(Window &file, uint64_t offset, uint64_t end, FrameHeader *header, uint32_t freeFormatBytes)
{
    const uint8_t *bytes = offset + 4 <= end ? file.At(offset, 4) : nullptr;
    if (!bytes || !ParseFrameHeader(bytes, header, freeFormatBytes))
        return 0;
    uint64_t next = offset + uint64_t(header->frameBytes);
    return next <= end ? next : 0;
}

// The bits that stay the same from one frame of a free-format stream to
// the next: sync, version, layer, CRC, bitrate index, sample rate and
// channel mode (not the padding, private bit, mode extension or flags).
bool SameFreeFormat(const uint8_t *a, const uint8_t *b)
{
    return a[0] == b[0] && a[1] == b[1] && (a[2] & 0xFC) == (b[2] & 0xFC) && (a[3] & 0xC0) == (b[3] & 0xC0);
}

// The unpadded frame length of the free-format stream whose header is at
// `offset`: the distance to the next alike header, less this frame's
// padding, confirmed by a third alike header (or the end) where that
// length puts it. 0 when no such length is found.
uint32_t MeasureFreeFormat(Window &file, uint64_t offset, uint64_t end)
{
    const uint8_t *at = file.At(offset, 4);
    if (!at || (at[2] >> 4) != 0)
        return 0;
    uint8_t first[4];
    std::memcpy(first, at, 4);
    const uint32_t padding = (first[2] >> 1) & 1;
    for (uint64_t q = offset + SmallestFrameBytes; q + 4 <= end && q - offset <= LargestFreeFormatBytes + 1; ++q) {
        const uint8_t *second = file.At(q, 4);
        if (!second)
            return 0;
        if (!SameFreeFormat(first, second))
            continue;
        const uint32_t length = uint32_t(q - offset) - padding;
        const uint64_t third = q + length + ((second[2] >> 1) & 1);
        const uint8_t *after = third + 4 <= end ? file.At(third, 4) : nullptr;
        if (third == end || (after && SameFreeFormat(first, after)))
            return length;
    }
    return 0;
}

// The first frame at or after `from` that agrees with `reference` (any
// Layer III frame when it is null) and is confirmed by an agreeing header
// right after it, or ends exactly at `end`. Damaged data and tags that
// happen to hold a sync pattern are passed over this way. A free-format
// stream's frame length is measured at its first frame (only when there
// is no reference yet) and kept in *freeFormatBytes.
bool FindFrame(Window &file, uint64_t from, uint64_t end, const FrameHeader *reference, uint64_t *found,
               FrameHeader *header, uint32_t *freeFormatBytes)
{
    // Each measurement may read a few kilobytes: junk full of look-alike
    // headers gets only so many.
    int measurementsLeft = 64;
    for (uint64_t p = from; p + 4 <= end; ++p) {
        const uint8_t *sync = file.At(p, 3);
        if (!sync)
            return false;
        if (sync[0] != 0xFF || (sync[1] & 0xE0) != 0xE0)
            continue;
        uint32_t freeBytes = *freeFormatBytes;
        if (!reference && !freeBytes && (sync[2] >> 4) == 0 && measurementsLeft > 0) {
            --measurementsLeft;
            freeBytes = MeasureFreeFormat(file, p, end);
        }
        FrameHeader candidate;
        uint64_t next = FrameEnd(file, p, end, &candidate, freeBytes);
        if (!next || (reference && !HeadersAgree(*reference, candidate)))
            continue;
        FrameHeader following;
        const uint8_t *after = next + 4 <= end ? file.At(next, 4) : nullptr;
        bool confirmed = next == end || (after && ParseFrameHeader(after, &following, freeBytes) &&
                                         HeadersAgree(candidate, following));
        if (confirmed) {
            *found = p;
            *header = candidate;
            *freeFormatBytes = freeBytes;
            return true;
        }
    }
    return false;
}

// Reads a Xing/Info or VBRI header, and a LAME tag after a Xing header, from
// the first frame. Returns true when the frame is such an information frame
// (it holds no sound then).
bool ReadInformationFrame(Window &file, uint64_t offset, const FrameHeader &header, Mp3Stream *stream)
{
    const uint64_t frameBytes = uint64_t(header.frameBytes);
    const uint8_t *frame = file.At(offset, size_t(frameBytes));
    if (!frame)
        return false;

    // LAME puts the header right after the side information even when a
    // CRC comes first; other encoders count the CRC in.
    uint64_t xing = 4 + uint64_t(header.sideInfoBytes);
    auto isXing = [&](uint64_t at) {
        return at + 8 <= frameBytes &&
               (std::memcmp(frame + at, "Xing", 4) == 0 || std::memcmp(frame + at, "Info", 4) == 0);
    };
    if (!isXing(xing) && header.crc)
        xing += 2;
    if (isXing(xing)) {
        stream->flags |= StreamXingHeader;
        uint32_t fields = BigEndian32(frame + xing + 4);
        uint64_t at = xing + 8;
        if ((fields & 1) && at + 4 <= frameBytes)
            stream->headerFrames = BigEndian32(frame + at);
        if (fields & 1)
            at += 4;
        if (fields & 2)
            at += 4;
        if (fields & 4)
            at += 100;
        if (fields & 8)
            at += 4;
        // The LAME tag: encoder name, then the delay and padding as two
        // 12-bit numbers 21 bytes in.
        if (at + 24 <= frameBytes) {
            const uint8_t *lame = frame + at;
            if (std::memcmp(lame, "LAME", 4) == 0 || std::memcmp(lame, "Lavc", 4) == 0 ||
                std::memcmp(lame, "Lavf", 4) == 0 || std::memcmp(lame, "L3.99", 5) == 0) {
                stream->flags |= StreamLameTag;
                stream->encoderDelay = (uint32_t(lame[21]) << 4) | (lame[22] >> 4);
                stream->encoderPadding = (uint32_t(lame[22] & 0x0F) << 8) | lame[23];
            }
        }
        return true;
    }

    const uint64_t vbri = 4 + 32;
    if (vbri + 18 <= frameBytes && std::memcmp(frame + vbri, "VBRI", 4) == 0) {
        stream->flags |= StreamVbriHeader;
        stream->headerFrames = BigEndian32(frame + vbri + 14);
        return true;
    }
    return false;
}

} // namespace

bool ParseFrameHeader(const uint8_t *b, FrameHeader *h, uint32_t freeFormatBytes)
{
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0)
        return false;
    int versionBits = (b[1] >> 3) & 3;
    int layerBits = (b[1] >> 1) & 3;
    int bitrateIndex = b[2] >> 4;
    int rateIndex = (b[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    if (bitrateIndex == 0 && (freeFormatBytes < SmallestFrameBytes || freeFormatBytes > LargestFreeFormatBytes))
        return false;
    if ((b[3] & 3) == 2) // reserved emphasis
        return false;

    h->version = versionBits == 3 ? 10 : versionBits == 2 ? 20 : 25;
    h->layer = 3;
    h->sampleRate = Mpeg1Rates[rateIndex] / (h->version == 10 ? 1 : h->version == 20 ? 2 : 4);
    h->channelMode = b[3] >> 6;
    h->channels = h->channelMode == 3 ? 1 : 2;
    h->padding = (b[2] >> 1) & 1;
    h->crc = (b[1] & 1) ? 0 : 1;
    h->samplesPerFrame = h->version == 10 ? 1152 : 576;
    int slotFactor = h->version == 10 ? 144 : 72;
    if (bitrateIndex == 0) {
        // The bitrate that gives this length, to the nearest kbit/s.
        h->bitrate = int((uint64_t(freeFormatBytes) * uint64_t(h->sampleRate) + slotFactor * 500) /
                         (uint64_t(slotFactor) * 1000));
        h->frameBytes = int(freeFormatBytes) + h->padding;
    } else {
        h->bitrate = h->version == 10 ? Mpeg1Bitrates[bitrateIndex] : Mpeg2Bitrates[bitrateIndex];
        h->frameBytes = slotFactor * h->bitrate * 1000 / h->sampleRate + h->padding;
    }
    if (h->version == 10)
        h->sideInfoBytes = h->channels == 1 ? 17 : 32;
    else
        h->sideInfoBytes = h->channels == 1 ? 9 : 17;
    return true;
}

bool HeadersAgree(const FrameHeader &a, const FrameHeader &b)
{
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate &&
           a.channels == b.channels;
}

uint64_t Id3v2TagBytes(const uint8_t *data, size_t size)
{
    if (size < 10 || std::memcmp(data, "ID3", 3) != 0 || data[3] == 0xFF || data[4] == 0xFF)
        return 0;
    for (int i = 6; i < 10; ++i)
        if (data[i] & 0x80)
            return 0;
    uint64_t body = (uint64_t(data[6]) << 21) | (uint64_t(data[7]) << 14) | (uint64_t(data[8]) << 7) |
                    uint64_t(data[9]);
    bool footer = (data[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

namespace {

uint64_t TrailingTagBytesOf(Window &file, uint64_t size, uint32_t *flags)
{
    uint64_t end = size;
    const uint8_t *id3v1 = end >= 128 ? file.At(end - 128, 3) : nullptr;
    if (id3v1 && std::memcmp(id3v1, "TAG", 3) == 0) {
        end -= 128;
        *flags |= StreamId3v1Tag;
    }
    // An APE tag ends in a 32-byte footer whose size counts the items and
    // the footer; a header of 32 bytes may come before the items.
    const uint8_t *footer = end >= 32 ? file.At(end - 32, 32) : nullptr;
    if (footer && std::memcmp(footer, "APETAGEX", 8) == 0) {
        uint64_t tagBytes = LittleEndian32(footer + 12);
        if (LittleEndian32(footer + 20) & 0x80000000u)
            tagBytes += 32;
        if (tagBytes >= 32 && tagBytes <= end) {
            end -= tagBytes;
            *flags |= StreamApeTag;
        }
    }
    return size - end;
}

} // namespace

uint64_t TrailingTagBytes(const uint8_t *data, size_t size, uint32_t *flags)
{
    Window file(data, size);
    return TrailingTagBytesOf(file, size, flags);
}

namespace {

bool Parse(Window &file, uint64_t size, Mp3Stream *stream)
{
    *stream = Mp3Stream();
    // Frame offsets are 32-bit: a longer file is read as far as they reach.
    uint64_t fileBytes = size > 0xFFFFFFF0u ? 0xFFFFFFF0u : size;

    // ID3v2 tags, possibly several in a row. A tag that claims more bytes
    // than the file has is not believed: the search starts after its
    // header instead, and the frame search passes over the rest.
    uint64_t start = 0;
    for (;;) {
        const uint8_t *header = file.At(start, 10);
        uint64_t tag = header ? Id3v2TagBytes(header, 10) : 0;
        if (!tag)
            break;
        stream->flags |= StreamId3v2Tag;
        if (start + tag > fileBytes) {
            start += 10;
            break;
        }
        start += tag;
    }
    uint64_t end = fileBytes - TrailingTagBytesOf(file, fileBytes, &stream->flags);
    if (end < start)
        end = start;

    uint64_t offset;
    FrameHeader header;
    uint32_t freeBytes = 0;
    if (!FindFrame(file, start, end, nullptr, &offset, &header, &freeBytes))
        return false;
    stream->freeFormatBytes = freeBytes;
    stream->audioStart = offset;
    stream->format = header;

    FrameHeader reference = header;
    if (ReadInformationFrame(file, offset, header, stream))
        offset += uint64_t(header.frameBytes);

    // Header values are checked before they are believed: no frames, or
    // more frames than the file could hold, means the count is ignored.
    if (stream->headerFrames == 0 || uint64_t(stream->headerFrames) * SmallestFrameBytes > fileBytes)
        stream->headerFrames = 0;

    uint64_t audioBytes = 0;
    bool haveFormat = false;
    while (offset + 4 <= end) {
        FrameHeader frame;
        uint64_t next = FrameEnd(file, offset, end, &frame, freeBytes);
        if (!next || !HeadersAgree(reference, frame)) {
            // Damage: go on at the next frame that the one after it confirms.
            stream->flags |= StreamDamageSkipped;
            if (!FindFrame(file, offset + 1, end, &reference, &offset, &frame, &freeBytes))
                break;
            next = offset + uint64_t(frame.frameBytes);
        }
        if (!haveFormat) {
            stream->format = frame;
            haveFormat = true;
        } else if (frame.bitrate != stream->format.bitrate) {
            stream->flags |= StreamVariableBitrate;
        }
        stream->frames.push_back(uint32_t(offset));
        audioBytes += uint64_t(frame.frameBytes);
        offset = next;
    }
    if (offset < end && offset + 4 > end)
        stream->flags |= StreamDamageSkipped; // a few stray bytes at the end
    stream->audioEnd = offset;
    if (stream->frames.empty())
        return false;

    const uint64_t frameCount = stream->frames.size();
    const uint64_t spf = uint64_t(stream->format.samplesPerFrame);
    stream->decodedSamples = frameCount * spf;

    // The encoder's delay and padding hold only when they fit the frames;
    // the padding only when every frame the header counted is there (a
    // cut file ends before the encoder's padding).
    uint64_t delay = stream->encoderDelay, padding = stream->encoderPadding;
    if (delay + padding >= stream->decodedSamples) {
        delay = padding = 0;
        stream->encoderDelay = stream->encoderPadding = 0;
    }
    bool complete = stream->headerFrames == frameCount;
    if (!complete)
        padding = 0;
    stream->leadSamples = delay + DecoderDelaySamples;
    uint64_t available = stream->decodedSamples > stream->leadSamples
                             ? stream->decodedSamples - stream->leadSamples
                             : 0;
    uint64_t wanted = stream->decodedSamples - delay - padding;
    stream->totalSamples = wanted < available ? wanted : available;

    stream->averageBitrate =
        uint32_t(audioBytes * 8 * uint64_t(stream->format.sampleRate) / (stream->decodedSamples * 1000));
    return true;
}

} // namespace

bool ParseMp3Source(const ByteSource &source, Mp3Stream *stream)
{
    Window file(source);
    return Parse(file, source.size, stream);
}

bool ParseMp3Stream(const uint8_t *data, size_t size, Mp3Stream *stream)
{
    Window file(data, size);
    return Parse(file, size, stream);
}
