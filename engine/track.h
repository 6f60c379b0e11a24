// An open MP3 file: its bytes, its frame index and a decoding cursor that
// turns it into exactly the source's samples, from any sample on.
#pragma once

#include "acm_decoder.h"
#include "mp3_stream.h"

// Files larger than this are not read.
const uint64_t LargestFileBytes = 1024ull * 1024 * 1024;

// A Layer III frame may take up to this many bytes of its data from the
// frames before it.
const uint64_t MaxBorrowedBytes = 511;

struct Track {
    HANDLE file;
    HANDLE mapping;
    const uint8_t *data;      // the whole file, mapped
    size_t size;
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

// Maps and parses the file and opens the codec. Returns false, with
// nothing held, when it cannot be played.
bool OpenTrack(Track *track, const char *path);
void CloseTrack(Track *track);

// Positions the cursor at a sample of the trimmed sound (clamped to its end).
void SeekTrack(Track *track, uint64_t sample);

// Fills `out` with up to `bytes` bytes of PCM; fewer only at the end.
uint32_t ReadTrackPcm(Track *track, uint8_t *out, uint32_t bytes);
