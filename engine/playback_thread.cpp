#include "engine.h"

Engine engine;

uint64_t HeardSample()
{
    if (!engine.trackOpen)
        return 0;
    const uint64_t total = engine.track.stream.totalSamples;
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
            return;
        }
    }
    if (engine.endOfData && AllOutputBuffersFree(&output))
        engine.state = StateEnded;
}

namespace {

DWORD WINAPI PlaybackThread(LPVOID)
{
    HANDLE waits[2] = {engine.output.bufferDone, engine.wake};
    for (;;) {
        EnterCriticalSection(&engine.lock);
        bool quit = engine.quit;
        if (!quit && engine.state == StatePlaying)
            FeedOutput();
        LeaveCriticalSection(&engine.lock);
        if (quit)
            return 0;
        // The timeout only guards against a device that never signals.
        WaitForMultipleObjects(2, waits, FALSE, BufferMilliseconds / 2);
    }
}

} // namespace

bool StartOutput()
{
    if (engine.worker)
        return true;
    const FrameHeader &format = engine.track.stream.format;
    if (!engine.outputOpen) {
        if (!OpenWaveOutput(&engine.output, format.sampleRate, format.channels))
            return false;
        engine.outputOpen = true;
    }
    engine.quit = false;
    engine.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (engine.wake)
        engine.worker = CreateThread(nullptr, 0, PlaybackThread, nullptr, 0, nullptr);
    // Ahead of the program's own work, so that a busy window does not
    // starve the sound.
    if (engine.worker)
        SetThreadPriority(engine.worker, THREAD_PRIORITY_ABOVE_NORMAL);
    if (!engine.worker) {
        if (engine.wake)
            CloseHandle(engine.wake);
        engine.wake = nullptr;
        return false;
    }
    return true;
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
        CloseHandle(engine.wake);
        engine.worker = nullptr;
        engine.wake = nullptr;
        engine.quit = false;
    }
    if (engine.outputOpen) {
        CloseWaveOutput(&engine.output);
        engine.outputOpen = false;
    }
}
