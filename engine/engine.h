// The engine's one record: the open track, the sound output, the playback
// thread and the transport state, shared between the caller's thread and
// the playback thread under one lock.
#pragma once

#include "track.h"
#include "vbmp3.h"
#include "wave_output.h"

struct Engine {
    CRITICAL_SECTION lock;
    int ready;               // vbmp3_init's answer
    bool trackOpen;
    Track track;
    bool outputOpen;
    WaveOutput output;
    HANDLE worker;           // the playback thread, while the track has output
    HANDLE wake;             // tells the playback thread to look again
    bool quit;               // asks the playback thread to end
    int state;               // EngineState
    uint64_t heardBase;      // sample the device started from at its last reset
    bool endOfData;          // the track has given all its sound to the device
};

extern Engine engine;

// Fills the output buffers the device has given back; run by the playback
// thread with the lock held.
void FeedOutput();
// The sample that is being heard now.
uint64_t HeardSample();

// Opens the sound device and starts the playback thread for the open
// track, unless they already run. Called with the lock held.
bool StartOutput();
// Ends the playback thread and closes the device. Called without the lock:
// the thread takes it on its way out.
void EndOutput();
