#include "codec_state.h"
#include "track.h"

#include <float.h>

#include <cmath>
#include <cstring>
#include <new>

namespace {

// The x87 unit rounds to the precision its control word says, which each
// thread has of its own (the program's first thread at the runtime's
// choice, later ones at the system's). Vorbis and Opus decode in floating
// point: pinned to one precision while they do, a file decodes to the
// same samples on every thread.
class PinnedPrecision {
  public:
    PinnedPrecision() : saved(_control87(0, 0)) { _control87(_PC_53, _MCW_PC); }
    ~PinnedPrecision() { _control87(saved, _MCW_PC); }

  private:
    unsigned int saved;
};

const CodecOperations *OperationsOf(ContainerKind kind)
{
    switch (kind) {
    case ContainerFlac:
        return &FlacOperations;
    case ContainerOggVorbis:
        return &VorbisOperations;
    case ContainerOggOpus:
        return &OpusOperations;
    default:
        return nullptr;
    }
}

// Where each channel goes when more than two are mixed down to stereo.
enum Role { Left, Right, Centre, LowFrequency, LeftSurround, RightSurround, BackCentre };

// The layouts of three to eight channels: FLAC keeps the wave format's
// order, Vorbis (and Opus) one of their own.
const char *const WaveLayouts[] = {"LRC", "LRlr", "LRClr", "LRCFlr", "LRCFBlr", "LRCFlrlr"};
const char *const VorbisLayouts[] = {"LCR", "LRlr", "LCRlr", "LCRlrF", "LCRlrBF", "LCRlrlrF"};

Role RoleOf(char letter)
{
    switch (letter) {
    case 'L': return Left;
    case 'R': return Right;
    case 'C': return Centre;
    case 'F': return LowFrequency;
    case 'l': return LeftSurround;
    case 'r': return RightSurround;
    default: return BackCentre;
    }
}

// Left and right weights of a role; the low-frequency channel is left out,
// as stereo speakers carry what they can of it in the others.
void WeightsOf(Role role, float *left, float *right)
{
    const float half = 0.70710678f;
    static const float weights[][2] = {{1, 0}, {0, 1}, {half, half}, {0, 0}, {half, 0}, {0, half}, {0.5f, 0.5f}};
    *left = weights[role][0];
    *right = weights[role][1];
}

void PutSample(CodecState *codec, int32_t value)
{
    codec->pending.push_back(uint8_t(value));
    codec->pending.push_back(uint8_t(value >> 8));
    if (codec->outputBits == 24)
        codec->pending.push_back(uint8_t(value >> 16));
}

// A float sample (full scale ±1) at the output's depth.
int32_t FloatToOutput(const CodecState *codec, float value)
{
    const float full = codec->outputBits == 24 ? 8388608.0f : 32768.0f;
    float scaled = value * full;
    if (scaled >= full - 1)
        return int32_t(full - 1);
    if (scaled <= -full)
        return -int32_t(full);
    return int32_t(std::lrintf(scaled));
}

// Mixes planar float frames down to stereo, scaled so that no sum clips.
// Layouts the tables do not know go equally to both sides.
void MixDown(CodecState *codec, float *const planes[], uint32_t frames, const char *const layouts[])
{
    const uint32_t count = codec->sourceChannels;
    const char *layout = count >= 3 && count <= 8 ? layouts[count - 3] : nullptr;
    float left[256], right[256];
    float leftSum = 0, rightSum = 0;
    for (uint32_t c = 0; c < count; ++c) {
        if (layout)
            WeightsOf(RoleOf(layout[c]), &left[c], &right[c]);
        else
            left[c] = right[c] = 1;
        leftSum += left[c];
        rightSum += right[c];
    }
    for (uint32_t i = 0; i < frames; ++i) {
        float l = 0, r = 0;
        for (uint32_t c = 0; c < count; ++c) {
            l += planes[c][i] * left[c];
            r += planes[c][i] * right[c];
        }
        PutSample(codec, FloatToOutput(codec, l / leftSum));
        PutSample(codec, FloatToOutput(codec, r / rightSum));
    }
}

// Random bits for the dither, from a small linear congruential generator.
uint32_t NextNoise(CodecState *codec)
{
    codec->dither = codec->dither * 1664525u + 1013904223u;
    return codec->dither >> 8;
}

// One integer sample of `bits` bits at the output's depth: shorter ones
// are scaled up exactly, longer ones rounded with triangular dither, so
// that their quiet passages keep their detail as noise rather than
// distortion.
int32_t IntegerToOutput(CodecState *codec, int32_t sample, uint32_t bits)
{
    const uint32_t depth = codec->outputBits;
    if (bits == depth)
        return sample;
    if (bits < depth)
        return int32_t(int64_t(sample) * (int64_t(1) << (depth - bits)));
    const uint32_t shift = bits - depth;
    const int64_t step = int64_t(1) << shift;
    const int64_t noise = int64_t(NextNoise(codec) & (step - 1)) - int64_t(NextNoise(codec) & (step - 1));
    int64_t value = (int64_t(sample) + noise + step / 2) >> shift;
    const int64_t largest = (int64_t(1) << (depth - 1)) - 1;
    if (value > largest)
        value = largest;
    if (value < -largest - 1)
        value = -largest - 1;
    return int32_t(value);
}

} // namespace

uint32_t PlayedChannels(uint32_t sourceChannels) { return sourceChannels == 1 ? 1 : 2; }

void PutSixteenBitSamples(CodecState *codec, const int16_t *samples, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        PutSample(codec, samples[i]);
}

void PutIntegerFrames(CodecState *codec, const int32_t *const planes[], uint32_t frames)
{
    const uint32_t count = codec->sourceChannels;
    if (count <= 2) {
        for (uint32_t i = 0; i < frames; ++i)
            for (uint32_t c = 0; c < count; ++c)
                PutSample(codec, IntegerToOutput(codec, planes[c][i], codec->bits));
        return;
    }
    std::vector<float> samples(size_t(count) * frames);
    float *floatPlanes[256];
    const float scale = 1.0f / float(int64_t(1) << (codec->bits - 1));
    for (uint32_t c = 0; c < count; ++c) {
        floatPlanes[c] = samples.data() + size_t(c) * frames;
        for (uint32_t i = 0; i < frames; ++i)
            floatPlanes[c][i] = float(planes[c][i]) * scale;
    }
    MixDown(codec, floatPlanes, frames, WaveLayouts);
}

void PutFloatFramesAsStereo(CodecState *codec, float *const planes[], uint32_t frames)
{
    MixDown(codec, planes, frames, VorbisLayouts);
}

size_t ReadCodecFile(CodecState *codec, void *out, size_t bytes)
{
    if (codec->cursor >= codec->size)
        return 0;
    if (bytes > codec->size - codec->cursor)
        bytes = size_t(codec->size - codec->cursor);
    size_t got = ReadTrackFile(codec->file, codec->start + codec->cursor, static_cast<uint8_t *>(out), bytes);
    codec->cursor += got;
    return got;
}

bool SeekCodecFile(CodecState *codec, int64_t offset, int whence)
{
    int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? int64_t(codec->cursor) : int64_t(codec->size);
    int64_t target = base + offset;
    if (target < 0 || uint64_t(target) > codec->size)
        return false;
    codec->cursor = uint64_t(target);
    return true;
}

CodecState *OpenCodecTrack(Track *track, ContainerKind kind, CodecFormat *format)
{
    const CodecOperations *operations = OperationsOf(kind);
    if (!operations)
        return nullptr;
    CodecState *codec = new (std::nothrow) CodecState();
    if (!codec)
        return nullptr;
    codec->kind = kind;
    // The libraries see the file from its first byte after any tags: not
    // every one of them passes over every kind of tag.
    codec->file = track->file;
    codec->start = track->audioStart;
    codec->size = track->size - track->audioStart;
    codec->dither = 1;
    codec->outputBits = 16;
    *format = CodecFormat();
    bool opened = false;
    PinnedPrecision precision;
    try {
        opened = operations->open(codec, format);
    } catch (const std::bad_alloc &) {
        opened = false;
    }
    if (!opened || format->sampleRate == 0 || format->channels == 0) {
        CloseCodecTrack(codec);
        return nullptr;
    }
    // Deeper FLAC keeps 24 of its bits where the device takes them.
    codec->outputBits = kind == ContainerFlac && codec->bits > 16 ? 24 : 16;
    format->bits = codec->outputBits;
    const uint64_t seconds = format->totalSamples / format->sampleRate;
    format->averageBitrate = seconds ? uint32_t(track->size * 8 / 1000 / seconds) : 0;
    return codec;
}

void CloseCodecTrack(CodecState *codec)
{
    if (!codec)
        return;
    if (const CodecOperations *operations = OperationsOf(codec->kind))
        operations->close(codec);
    delete codec;
}

void LimitCodecTrackTo16Bits(CodecState *codec, CodecFormat *format)
{
    codec->outputBits = 16;
    format->bits = 16;
}

bool SeekCodecTrack(CodecState *codec, uint64_t sample)
{
    codec->pending.clear();
    codec->pendingOffset = 0;
    PinnedPrecision precision;
    try {
        return OperationsOf(codec->kind)->seek(codec, sample);
    } catch (const std::bad_alloc &) {
        return false;
    }
}

uint32_t ReadCodecTrack(CodecState *codec, uint8_t *out, uint32_t frames)
{
    const size_t frameBytes = size_t(codec->channels) * (codec->outputBits / 8);
    PinnedPrecision precision;
    uint32_t done = 0;
    while (done < frames) {
        size_t available = (codec->pending.size() - codec->pendingOffset) / frameBytes;
        if (available == 0) {
            codec->pending.clear();
            codec->pendingOffset = 0;
            bool decoded = false;
            try {
                decoded = OperationsOf(codec->kind)->decode(codec);
            } catch (const std::bad_alloc &) {
                decoded = false;
            }
            if (!decoded)
                break;
            continue;
        }
        size_t take = frames - done < available ? frames - done : available;
        std::memcpy(out + size_t(done) * frameBytes, codec->pending.data() + codec->pendingOffset, take * frameBytes);
        codec->pendingOffset += take * frameBytes;
        done += uint32_t(take);
    }
    return done;
}
