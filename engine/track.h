// An open MP3 file: its handle, its frame index and a decoding cursor that
// turns it into exactly the source's samples, from any sample on.
//
// The file is read with ordinary reads, never mapped: another program may
// cut or rewrite it while it plays (a pulled drive, a lost share, a tag
// editor), and a read then comes back short, which ends the track, where
// a mapped page that no longer exists would take the whole program down.
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
    uint64_t size;            // as it was when opened
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

// Opens and parses the file and opens the codec. Returns false, with
// nothing held, when it cannot be played.
bool OpenTrack(Track *track, const char *path);
void CloseTrack(Track *track);

// Positions the cursor at a sample of the trimmed sound (clamped to its end).
void SeekTrack(Track *track, uint64_t sample);

// Fills `out` with up to `bytes` bytes of PCM; fewer only at the end, or
// where the file no longer holds what its index promised.
uint32_t ReadTrackPcm(Track *track, uint8_t *out, uint32_t bytes);
