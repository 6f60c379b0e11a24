// What the three library decoders share: the track's file as their
// libraries read it, the PCM decoded but not yet handed out, and the
// turning of any sample format and channel layout into the 16- or 24-bit
// mono or stereo that is played. Private to the engine's codec files.
#pragma once

#include "codec_track.h"

#include <FLAC/stream_decoder.h>
#include <opus/opusfile.h>
#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <vector>

struct CodecState {
    ContainerKind kind;
    HANDLE file;
    uint64_t start;               // the file's first byte after any tags in front
    uint64_t size;                // from there, as it was when opened
    uint64_t cursor;              // where the library reads next, from `start`
    uint32_t sampleRate;
    uint32_t sourceChannels;
    uint32_t channels;            // 1 or 2
    uint32_t bits;                // of the source's integer samples (FLAC)
    uint32_t outputBits;          // 16 or 24
    uint32_t dither;              // noise for cutting deeper samples down

    // Decoded, interleaved, little endian, ready to hand out (FLAC decodes
    // whole blocks).
    std::vector<uint8_t> pending;
    size_t pendingOffset;         // in bytes

    FLAC__StreamDecoder *flac;
    bool flacCounting;            // decoding only to count the samples
    uint64_t flacCounted;
    bool flacFailed;
    OggVorbis_File *vorbis;
    OggOpusFile *opus;
};

struct CodecOperations {
    bool (*open)(CodecState *codec, CodecFormat *format);
    bool (*seek)(CodecState *codec, uint64_t sample);
    // Appends at least one frame to `pending`; false at the end.
    bool (*decode)(CodecState *codec);
    void (*close)(CodecState *codec);
};

extern const CodecOperations FlacOperations;
extern const CodecOperations VorbisOperations;
extern const CodecOperations OpusOperations;

// The library's reads and seeks on the track's file.
size_t ReadCodecFile(CodecState *codec, void *out, size_t bytes);
bool SeekCodecFile(CodecState *codec, int64_t offset, int whence);

// Mono and stereo stay as they are; more channels become stereo.
uint32_t PlayedChannels(uint32_t sourceChannels);

// Appends 16-bit samples as they are (Vorbis and Opus, always 16-bit out).
void PutSixteenBitSamples(CodecState *codec, const int16_t *samples, size_t count);

// Appends `frames` frames of planar integer samples of `codec->bits` bits.
void PutIntegerFrames(CodecState *codec, const int32_t *const planes[], uint32_t frames);

// Mixes `frames` frames of more than two channels of planar float samples
// (full scale ±1, in Vorbis's channel order) down to stereo and appends them.
void PutFloatFramesAsStereo(CodecState *codec, float *const planes[], uint32_t frames);
