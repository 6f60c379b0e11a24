#include "engine.h"

Engine engine;

uint64_t HeardSample()
{
    if (!engine.trackOpen)
        return 0;
    const uint64_t total = engine.track.totalSamples;
    if (engine.state == StateEnded)
        return total;
    uint64_t sample = engine.heardBase;
    if (engine.outputOpen)
        sample += HeardBytes(&engine.output) / engine.output.blockAlign;
    return sample < total ? sample : total;
}

void FeedOutput()
{
    WaveOutput &output = engine.output;
    while (!engine.endOfData) {
        int index = FreeOutputBuffer(&output);
        if (index < 0)
            break;
        uint8_t *buffer = reinterpret_cast<uint8_t *>(output.headers[index].lpData);
        uint32_t bytes = ReadTrackPcm(&engine.track, buffer, output.bufferBytes);
        if (bytes < output.bufferBytes)
            engine.endOfData = true;
        if (bytes > 0 && !WriteOutputBuffer(&output, index, bytes)) {
            engine.state = StateFailed;
            CloseOutput();
            return;
        }
    }
    if (engine.endOfData && AllOutputBuffersFree(&output)) {
        // The last sample has been played: close the device now, before
        // it runs dry and fills the gap with silence of its own.
        engine.state = StateEnded;
        CloseOutput();
        return;
    }
    // The device starts once every buffer is queued (or the whole of a
    // short track), so that it never starts with nothing behind the first.
    if (!StartWaveOutput(&output)) {
        engine.state = StateFailed;
        CloseOutput();
    }
}

namespace {

DWORD WINAPI PlaybackThread(LPVOID)
{
    HANDLE waits[2] = {engine.bufferDone, engine.wake};
    for (;;) {
        EnterCriticalSection(&engine.lock);
        bool quit = engine.quit;
        if (!quit && engine.state == StatePlaying && engine.outputOpen)
            FeedOutput();
        LeaveCriticalSection(&engine.lock);
        if (quit)
            return 0;
        // The timeout only guards against a device that never signals; it
        // outlasts a buffer, so that it does not wake the thread between
        // buffers, and leaves two of them queued when it does.
        WaitForMultipleObjects(2, waits, FALSE, 2 * BufferMilliseconds);
    }
}

} // namespace

bool StartOutput()
{
    if (!engine.worker) {
        engine.quit = false;
        engine.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        engine.bufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (engine.wake && engine.bufferDone)
            engine.worker = CreateThread(nullptr, 0, PlaybackThread, nullptr, 0, nullptr);
        // Ahead of the program's own work, so that a busy window does not
        // starve the sound.
        if (engine.worker)
            SetThreadPriority(engine.worker, THREAD_PRIORITY_ABOVE_NORMAL);
        if (!engine.worker) {
            if (engine.wake)
                CloseHandle(engine.wake);
            if (engine.bufferDone)
                CloseHandle(engine.bufferDone);
            engine.wake = engine.bufferDone = nullptr;
            return false;
        }
    }
    if (!engine.outputOpen) {
        const Track &track = engine.track;
        if (!OpenWaveOutput(&engine.output, int(track.sampleRate), int(track.channels), int(track.bits),
                            engine.bufferDone))
            return false;
        engine.outputOpen = true;
    }
    return true;
}

void CloseOutput()
{
    if (engine.outputOpen) {
        CloseWaveOutput(&engine.output);
        engine.outputOpen = false;
    }
}

void EndOutput()
{
    if (engine.worker) {
        EnterCriticalSection(&engine.lock);
        engine.quit = true;
        LeaveCriticalSection(&engine.lock);
        SetEvent(engine.wake);
        WaitForSingleObject(engine.worker, INFINITE);
        CloseHandle(engine.worker);
        engine.worker = nullptr;
        engine.quit = false;
    }
    CloseOutput();
    if (engine.wake)
        CloseHandle(engine.wake);
    if (engine.bufferDone)
        CloseHandle(engine.bufferDone);
    engine.wake = engine.bufferDone = nullptr;
}
