#include "track.h"

#include <cstdlib>
#include <cstring>
#include <new>

size_t ReadTrackFile(HANDLE file, uint64_t offset, uint8_t *out, size_t bytes)
{
    size_t done = 0;
    while (done < bytes) {
        OVERLAPPED at;
        ZeroMemory(&at, sizeof at);
        at.Offset = DWORD(offset + done);
        at.OffsetHigh = DWORD((offset + done) >> 32);
        DWORD got = 0;
        DWORD want = DWORD(bytes - done);
        if (!ReadFile(file, out + done, want, &got, &at) || got == 0)
            break;
        done += got;
    }
    return done;
}

namespace {

size_t ReadAt(void *file, uint64_t offset, uint8_t *out, size_t bytes)
{
    return ReadTrackFile(static_cast<HANDLE>(file), offset, out, bytes);
}

bool OpenFile(const char *path, Track *track)
{
    // Others may go on writing, renaming or deleting the file while it
    // plays; what they do shows up as short reads.
    track->file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (track->file == INVALID_HANDLE_VALUE) {
        track->file = nullptr;
        return false;
    }
    LARGE_INTEGER length;
    if (!GetFileSizeEx(track->file, &length) || length.QuadPart <= 0)
        return false;
    track->size = uint64_t(length.QuadPart);
    return true;
}

// Reads the next frames for one conversion into the codec's source buffer:
// one read for the run of frames, then each frame checked again, since the
// file may have changed since it was indexed. Returns the bytes gathered;
// 0 when the file no longer holds the next frame.
uint32_t GatherFrames(Track *track)
{
    const std::vector<uint32_t> &frames = track->stream.frames;
    const uint32_t first = track->nextFrame;
    if (first >= frames.size())
        return 0;
    uint32_t count = uint32_t(frames.size()) - first;
    if (count > FramesPerConversion)
        count = FramesPerConversion;
    const uint64_t begin = frames[first];
    uint64_t end = first + count < frames.size() ? frames[first + count] : track->stream.audioEnd;
    // Damaged data between frames can make the run longer than the buffer;
    // every frame fits on its own, so at least the first one is read.
    if (end - begin > track->decoder.sourceCapacity)
        end = begin + track->decoder.sourceCapacity;
    uint8_t *source = track->decoder.source;
    const size_t got = ReadAt(track->file, begin, source, size_t(end - begin));

    // Whole frames only, moved together over any damage between them.
    uint32_t bytes = 0;
    for (uint32_t n = 0; n < count; ++n) {
        const uint64_t at = frames[first + n] - begin;
        FrameHeader header;
        if (at + 4 > got || !ParseFrameHeader(source + at, &header, track->stream.freeFormatBytes) ||
            at + uint64_t(header.frameBytes) > got)
            break;
        std::memmove(source + bytes, source + at, size_t(header.frameBytes));
        bytes += uint32_t(header.frameBytes);
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
    // A frame that the file no longer holds ends the track: the codec
    // gives up what it holds back, and nothing after it is asked for.
    if (bytes == 0)
        track->nextFrame = uint32_t(track->stream.frames.size());
    bool last = track->nextFrame >= track->stream.frames.size();
    uint32_t produced = ConvertFrames(&track->decoder, bytes, track->restart, last);
    track->restart = false;
    track->flushed = last;
    track->pcmOffset = 0;
    track->pcmBytes = produced - produced % track->blockAlign;
    return true;
}

// A FLAC, Ogg Vorbis or Opus file, through its library.
bool OpenCodecKind(Track *track)
{
    track->codec = OpenCodecTrack(track, track->kind, &track->codecFormat);
    if (!track->codec)
        return false;
    const CodecFormat &format = track->codecFormat;
    track->sampleRate = format.sampleRate;
    track->channels = format.channels;
    track->bits = format.bits;
    track->totalSamples = format.totalSamples;
    track->averageBitrate = format.averageBitrate;
    return true;
}

} // namespace

bool OpenTrack(Track *track, const char *path)
{
    *track = Track();
    if (!path || std::strlen(path) >= MAX_PATH)
        return false;
    if (!OpenFile(path, track)) {
        CloseTrack(track);
        return false;
    }
    ByteSource source = {track->size, ReadAt, track->file, 0};
    track->kind = DetectContainer(source, &track->audioStart);
    const bool mpeg = track->kind == ContainerMpegAudio;
    if (track->size > (mpeg ? LargestFileBytes : LargestCodecFileBytes)) {
        CloseTrack(track);
        return false;
    }
    if (!mpeg) {
        if (track->kind == ContainerOggOther || !OpenCodecKind(track)) {
            CloseTrack(track);
            return false;
        }
        track->blockAlign = track->bits / 8 * track->channels;
        SeekTrack(track, 0);
        return true;
    }
    // The index grows with the file; a file made of nothing but the
    // smallest frames could ask for more memory than there is.
    bool parsed = false;
    try {
        parsed = ParseMp3Source(source, &track->stream);
    } catch (const std::bad_alloc &) {
        parsed = false;
    }
    if (!parsed || !OpenAcmDecoder(&track->decoder, track->stream.format)) {
        CloseTrack(track);
        return false;
    }
    track->sampleRate = uint32_t(track->stream.format.sampleRate);
    track->channels = uint32_t(track->stream.format.channels);
    track->bits = 16;
    track->totalSamples = track->stream.totalSamples;
    track->averageBitrate = track->stream.averageBitrate;
    track->blockAlign = 2 * track->channels;
    SeekTrack(track, 0);
    return true;
}

void CloseTrack(Track *track)
{
    if (track->codec)
        CloseCodecTrack(track->codec);
    if (track->decoder.stream)
        CloseAcmDecoder(&track->decoder);
    if (track->file)
        CloseHandle(track->file);
    // Gives the index's memory back now, not at the next open.
    *track = Track();
}

void LimitTrackTo16Bits(Track *track)
{
    if (!track->codec || track->bits == 16)
        return;
    LimitCodecTrackTo16Bits(track->codec, &track->codecFormat);
    track->bits = 16;
    track->blockAlign = 2 * track->channels;
    SeekTrack(track, 0);
}

void SeekTrack(Track *track, uint64_t sample)
{
    if (track->codec) {
        if (sample > track->totalSamples)
            sample = track->totalSamples;
        // A file that no longer lets the decoder there has nothing more.
        track->position = SeekCodecTrack(track->codec, sample) ? sample : track->totalSamples;
        return;
    }
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
            uint8_t bytes[4];
            FrameHeader header;
            if (ReadAt(track->file, stream.frames[first], bytes, 4) < 4)
                break; // the file was cut: decoding ends there anyway
            if (ParseFrameHeader(bytes, &header, stream.freeFormatBytes))
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
    if (track->codec) {
        uint32_t written = 0;
        while (written + align <= bytes && track->position < track->totalSamples) {
            uint64_t frames = (bytes - written) / align;
            if (frames > track->totalSamples - track->position)
                frames = track->totalSamples - track->position;
            uint32_t got = ReadCodecTrack(track->codec, out + written, uint32_t(frames));
            if (got == 0)
                break;
            written += got * align;
            track->position += got;
        }
        return written;
    }
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
