// Sound output through waveOut: a few buffers that the playback thread
// keeps filled. The device signals an event as each buffer finishes; no
// wave function is ever called from a device callback.
//
// A wave device that is running with nothing queued makes silence of its
// own (Wine's, for one, writes a 10 ms period of it whenever it runs dry,
// before the first buffer and after the last). So the device is opened
// paused, started only once its buffers are queued, and closed, not left
// running empty, when the sound ends, stops or moves.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

// Four buffers of 250 ms each: enough to ride out a busy machine, and few
// enough wake-ups (four a second) that playing costs little more than the
// decoding, while a pause, stop or seek still acts at once (the device is
// paused or reset).
const int OutputBuffers = 4;
const int BufferMilliseconds = 250;

struct WaveOutput {
    HWAVEOUT device;
    HANDLE bufferDone;          // the caller's event, set whenever a buffer is done
    bool started;               // running; until then buffers only queue up
    WAVEHDR headers[OutputBuffers];
    uint8_t *memory;
    uint32_t bufferBytes;
    uint32_t blockAlign;
    uint32_t lastPosition;      // the device's byte count when last read
    uint64_t playedBytes;       // heard since the device was last reset
};

// Opens the device paused for 16- or 24-bit PCM (the latter as an
// extensible wave format); `bufferDone` stays the caller's.
bool OpenWaveOutput(WaveOutput *output, int sampleRate, int channels, int bits, HANDLE bufferDone);
// Whether the sound device takes that format, asked without opening it.
bool WaveOutputTakes(int sampleRate, int channels, int bits);
// Stops the sound, waits for every buffer to come back, and releases all.
void CloseWaveOutput(WaveOutput *output);

// Starts the sound of what is queued, or holds it.
bool StartWaveOutput(WaveOutput *output);
void PauseWaveOutput(WaveOutput *output);

// Index of a buffer that the device does not hold, or -1.
int FreeOutputBuffer(const WaveOutput *output);
bool AllOutputBuffersFree(const WaveOutput *output);
bool WriteOutputBuffer(WaveOutput *output, int index, uint32_t bytes);

// Bytes that have been heard since the last reset.
uint64_t HeardBytes(WaveOutput *output);
