// FLAC, Ogg Vorbis and Opus files, decoded by their reference libraries
// (libFLAC, vorbisfile, opusfile) into the PCM that the output plays:
// 16-bit, or 24-bit for deeper FLAC; stereo or mono as the file has it,
// more channels mixed down to stereo. Each library reads the file through the track's own reads, so a
// file cut or rewritten while it plays ends its track like an MP3 does.
#pragma once

#include "container_kind.h"

#include <windows.h>

#include <cstdint>

struct Track;
struct CodecState;

// What a library-decoded track is: filled in by OpenCodecTrack.
struct CodecFormat {
    uint32_t sampleRate;
    uint32_t channels;        // as they are played: 1 or 2
    uint32_t bits;            // of the PCM handed out: 16, or 24 for FLAC deeper than 16
    uint64_t totalSamples;    // per channel, exact
    uint32_t averageBitrate;  // kbit/s over the whole file
};

// Opens the track's file, already open in track->file, as `kind`. Returns
// nullptr, holding nothing, when the library refuses it.
CodecState *OpenCodecTrack(Track *track, ContainerKind kind, CodecFormat *format);
void CloseCodecTrack(CodecState *codec);

// Hands out 16-bit PCM from now on (deeper samples dithered), for a device
// that does not take 24 bits. Called before anything is decoded.
void LimitCodecTrackTo16Bits(CodecState *codec, CodecFormat *format);

// Positions the decoder at a sample; false when the file no longer lets it.
bool SeekCodecTrack(CodecState *codec, uint64_t sample);

// Decodes up to `frames` sample frames into `out` (interleaved, little
// endian, `bits` deep); returns how many, 0 at the end or where the file
// gave out.
uint32_t ReadCodecTrack(CodecState *codec, uint8_t *out, uint32_t frames);
