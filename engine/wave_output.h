// Sound output through waveOut: a few buffers that the playback thread
// keeps filled. The device signals an event as each buffer finishes; no
// wave function is ever called from a device callback.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

// Four buffers of 100 ms each: enough to ride out a busy machine, while a
// pause, stop or seek still acts at once (the device is paused or reset).
const int OutputBuffers = 4;
const int BufferMilliseconds = 100;

struct WaveOutput {
    HWAVEOUT device;
    HANDLE bufferDone;          // set by the device whenever a buffer is done
    WAVEHDR headers[OutputBuffers];
    uint8_t *memory;
    uint32_t bufferBytes;
    uint32_t blockAlign;
    uint32_t lastPosition;      // the device's byte count when last read
    uint64_t playedBytes;       // heard since the device was last reset
};

bool OpenWaveOutput(WaveOutput *output, int sampleRate, int channels);
// Stops the sound, waits for every buffer to come back, and releases all.
void CloseWaveOutput(WaveOutput *output);

// Drops everything queued; the count of heard bytes starts again at 0.
void ResetWaveOutput(WaveOutput *output);

// Index of a buffer that the device does not hold, or -1.
int FreeOutputBuffer(const WaveOutput *output);
bool AllOutputBuffersFree(const WaveOutput *output);
bool WriteOutputBuffer(WaveOutput *output, int index, uint32_t bytes);

// Bytes that have been heard since the last reset.
uint64_t HeardBytes(WaveOutput *output);
