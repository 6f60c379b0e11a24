#include "track.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Maps the whole file into memory: far quicker to open than reading it
// all, since only the pages the frame scan touches are brought in.
bool MapWholeFile(const char *path, Track *track)
{
    track->file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (track->file == INVALID_HANDLE_VALUE) {
        track->file = nullptr;
        return false;
    }
    LARGE_INTEGER length;
    if (!GetFileSizeEx(track->file, &length) || length.QuadPart <= 0 ||
        uint64_t(length.QuadPart) > LargestFileBytes)
        return false;
    track->mapping = CreateFileMappingA(track->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!track->mapping)
        return false;
    track->data = static_cast<const uint8_t *>(MapViewOfFile(track->mapping, FILE_MAP_READ, 0, 0, 0));
    if (!track->data)
        return false;
    track->size = size_t(length.QuadPart);
    return true;
}

// Copies the next frames for one conversion into the codec's source buffer.
uint32_t GatherFrames(Track *track)
{
    const std::vector<uint32_t> &frames = track->stream.frames;
    uint32_t bytes = 0;
    for (uint32_t n = 0; n < FramesPerConversion && track->nextFrame < frames.size(); ++n) {
        uint32_t offset = frames[track->nextFrame];
        FrameHeader header;
        if (!ParseFrameHeader(track->data + offset, &header))
            break; // cannot happen: the index holds checked frames only
        uint32_t frameBytes = uint32_t(header.frameBytes);
        if (bytes + frameBytes > track->decoder.sourceCapacity)
            break;
        std::memcpy(track->decoder.source + bytes, track->data + offset, frameBytes);
        bytes += frameBytes;
        ++track->nextFrame;
    }
    return bytes;
}

// Refills the PCM buffer; false once the codec has nothing more.
bool DecodeMore(Track *track)
{
    if (track->flushed)
        return false;
    uint32_t bytes = GatherFrames(track);
    bool last = track->nextFrame >= track->stream.frames.size();
    uint32_t produced = ConvertFrames(&track->decoder, bytes, track->restart, last);
    track->restart = false;
    track->flushed = last;
    track->pcmOffset = 0;
    track->pcmBytes = produced - produced % track->blockAlign;
    return true;
}

} // namespace

bool OpenTrack(Track *track, const char *path)
{
    *track = Track();
    if (!path || std::strlen(path) >= MAX_PATH)
        return false;
    bool parsed = false;
    if (MapWholeFile(path, track)) {
        // The index grows with the file; a file made of nothing but the
        // smallest frames could ask for more memory than there is.
        try {
            parsed = ParseMp3Stream(track->data, track->size, &track->stream);
        } catch (const std::bad_alloc &) {
            parsed = false;
        }
    }
    if (!parsed || !OpenAcmDecoder(&track->decoder, track->stream.format)) {
        CloseTrack(track);
        return false;
    }
    track->blockAlign = 2 * uint32_t(track->stream.format.channels);
    SeekTrack(track, 0);
    return true;
}

void CloseTrack(Track *track)
{
    if (track->decoder.stream)
        CloseAcmDecoder(&track->decoder);
    if (track->data)
        UnmapViewOfFile(track->data);
    if (track->mapping)
        CloseHandle(track->mapping);
    if (track->file)
        CloseHandle(track->file);
    // Gives the index's memory back now, not at the next open.
    *track = Track();
}

void SeekTrack(Track *track, uint64_t sample)
{
    const Mp3Stream &stream = track->stream;
    if (sample > stream.totalSamples)
        sample = stream.totalSamples;
    const uint64_t perFrame = uint64_t(stream.format.samplesPerFrame);
    uint64_t decoded = sample + stream.leadSamples; // in the codec's output
    uint64_t frame = decoded / perFrame;
    uint64_t first = frame < stream.frames.size() ? frame : stream.frames.size();
    // Start early enough that the frame before the target has all the bits
    // it borrows from earlier frames (up to 511 bytes), and decode that one
    // too: its second half overlaps the target frame's first.
    if (first > 0) {
        --first;
        uint64_t borrowed = 0;
        while (first > 0 && borrowed < MaxBorrowedBytes) {
            --first;
            FrameHeader header;
            if (ParseFrameHeader(track->data + stream.frames[first], &header))
                borrowed += uint64_t(header.frameBytes - 4 - header.sideInfoBytes);
        }
    }
    track->nextFrame = uint32_t(first);
    track->skipSamples = decoded - first * perFrame;
    track->position = sample;
    track->restart = true;
    track->flushed = false;
    track->pcmOffset = 0;
    track->pcmBytes = 0;
}

uint32_t ReadTrackPcm(Track *track, uint8_t *out, uint32_t bytes)
{
    const uint32_t align = track->blockAlign;
    uint32_t written = 0;
    while (written + align <= bytes && track->position < track->stream.totalSamples) {
        if (track->pcmBytes == 0) {
            if (!DecodeMore(track))
                break;
            continue;
        }
        uint8_t *pcm = track->decoder.pcm + track->pcmOffset;
        uint64_t available = track->pcmBytes / align;
        if (track->skipSamples) {
            uint64_t drop = track->skipSamples < available ? track->skipSamples : available;
            track->skipSamples -= drop;
            track->pcmOffset += uint32_t(drop * align);
            track->pcmBytes -= uint32_t(drop * align);
            continue;
        }
        uint64_t samples = (bytes - written) / align;
        if (samples > available)
            samples = available;
        if (samples > track->stream.totalSamples - track->position)
            samples = track->stream.totalSamples - track->position;
        std::memcpy(out + written, pcm, size_t(samples * align));
        written += uint32_t(samples * align);
        track->pcmOffset += uint32_t(samples * align);
        track->pcmBytes -= uint32_t(samples * align);
        track->position += samples;
    }
    return written;
}
