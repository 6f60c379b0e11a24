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
    HANDLE worker;           // the playback thread, from the first play to the track's close
    HANDLE wake;             // tells the playback thread to look again
    HANDLE bufferDone;       // set by the device whenever a buffer is done
    bool quit;               // asks the playback thread to end
    int state;               // EngineState
    uint64_t heardBase;      // sample the device started from when it was opened
    bool endOfData;          // the track has given all its sound to the device
};

extern Engine engine;

// Fills the output buffers the device has given back; run by the playback
// thread with the lock held.
void FeedOutput();
// The sample that is being heard now.
uint64_t HeardSample();

// Starts the playback thread for the open track and opens the sound
// device, paused, unless they already run. Called with the lock held.
bool StartOutput();
// Closes the sound device, dropping what it holds; the thread stays.
// Called with the lock held.
void CloseOutput();
// Ends the playback thread and closes the device. Called without the lock:
// the thread takes it on its way out.
void EndOutput();
