// An open track: its file's handle and a decoding cursor that turns it
// into exactly the source's samples, from any sample on. An MP3 file is
// indexed frame by frame and decoded by the platform's codec; FLAC, Ogg
// Vorbis and Opus files by their own libraries (codec_track.h).
//
// The file is read with ordinary reads, never mapped: another program may
// cut or rewrite it while it plays (a pulled drive, a lost share, a tag
// editor), and a read then comes back short, which ends the track, where
// a mapped page that no longer exists would take the whole program down.
#pragma once

#include "acm_decoder.h"
#include "codec_track.h"
#include "mp3_stream.h"

// MP3 files larger than this are not read: their index grows with them.
const uint64_t LargestFileBytes = 1024ull * 1024 * 1024;
// Nor FLAC, Ogg Vorbis or Opus files larger than this (a long album of
// high-resolution FLAC can pass the MP3 limit): vorbisfile's positions
// are a 32-bit long on this platform.
const uint64_t LargestCodecFileBytes = 0x7FFFFFFFull;

// A Layer III frame may take up to this many bytes of its data from the
// frames before it.
const uint64_t MaxBorrowedBytes = 511;

struct Track {
    HANDLE file;
    uint64_t size;            // as it was when opened
    ContainerKind kind;
    uint64_t audioStart;      // the first byte after any tags in front
    uint32_t sampleRate;      // of the PCM handed out
    uint32_t channels;
    uint32_t bits;            // 16, or 24 for FLAC deeper than 16
    uint64_t totalSamples;    // per channel, after trimming
    uint32_t averageBitrate;  // kbit/s

    CodecState *codec;        // the library decoding any kind but MPEG audio
    CodecFormat codecFormat;

    // MPEG audio only.
    Mp3Stream stream;
    AcmDecoder decoder;
    uint32_t blockAlign;      // bytes per PCM sample frame

    uint32_t nextFrame;       // index of the next frame for the codec
    bool restart;             // the next conversion begins a new stream
    bool flushed;             // the codec has given up its last samples
    uint64_t skipSamples;     // decoded samples still to drop
    uint64_t position;        // samples handed out since the last seek, plus where it went
    uint32_t pcmOffset;       // unread PCM in decoder.pcm
    uint32_t pcmBytes;
};

// Reads up to `bytes` bytes at `offset`; returns how many it read (fewer,
// or none, once the file has been cut shorter or can no longer be read).
size_t ReadTrackFile(HANDLE file, uint64_t offset, uint8_t *out, size_t bytes);

// Opens and parses the file and opens the codec. Returns false, with
// nothing held, when it cannot be played.
bool OpenTrack(Track *track, const char *path);
void CloseTrack(Track *track);

// Hands out 16-bit PCM (deeper samples dithered) for a device that does not
// take the track's 24 bits. Called right after the open.
void LimitTrackTo16Bits(Track *track);

// Positions the cursor at a sample of the trimmed sound (clamped to its end).
void SeekTrack(Track *track, uint64_t sample);

// Fills `out` with up to `bytes` bytes of PCM; fewer only at the end, or
// where the file no longer holds what its index promised.
uint32_t ReadTrackPcm(Track *track, uint8_t *out, uint32_t bytes);
