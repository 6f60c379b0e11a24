// The library's twelve entry points. Each takes the engine's lock for what
// it changes, so the playback thread never sees half a command.
#include "engine.h"
#include "vbmp3.h"

#include <cstring>

namespace {

// In MP3 engine terms, the version is 1.00.
const int EngineVersion = 100;

// A FLAC, Ogg Vorbis or Opus track: what it shares with MPEG audio; the
// MPEG fields stay zero.
void FillCodecInfo(InfoRecord *info, const Track &track)
{
    const uint64_t rate = track.sampleRate;
    info->sampleRate = track.sampleRate;
    info->channels = track.channels;
    info->bitrate = track.averageBitrate;
    info->totalSamples = track.totalSamples < 0xFFFFFFFFu ? uint32_t(track.totalSamples) : 0xFFFFFFFFu;
    info->totalMilliseconds = uint32_t(track.totalSamples * 1000 / rate);
    info->channelMode = track.channels == 1 ? 3 : 0;
    info->audioOffset = uint32_t(track.audioStart);
    info->audioBytes = uint32_t(track.size - track.audioStart);
    info->totalSeconds = int32_t(track.totalSamples / rate);
}

void FillInfo(InfoRecord *info, const Track &track)
{
    if (track.codec) {
        FillCodecInfo(info, track);
        return;
    }
    const Mp3Stream &stream = track.stream;
    const uint64_t rate = uint64_t(stream.format.sampleRate);
    info->sampleRate = uint32_t(rate);
    info->channels = uint32_t(stream.format.channels);
    info->bitrate = stream.averageBitrate;
    info->mpegVersion = uint32_t(stream.format.version);
    info->layer = 3;
    info->frames = uint32_t(stream.frames.size());
    info->totalSamples = stream.totalSamples < 0xFFFFFFFFu ? uint32_t(stream.totalSamples) : 0xFFFFFFFFu;
    info->totalMilliseconds = uint32_t(stream.totalSamples * 1000 / rate);
    info->encoderDelay = stream.encoderDelay;
    info->encoderPadding = stream.encoderPadding;
    info->flags = stream.flags;
    info->channelMode = uint32_t(stream.format.channelMode);
    info->audioOffset = uint32_t(stream.audioStart);
    info->audioBytes = uint32_t(stream.audioEnd - stream.audioStart);
    info->totalSeconds = int32_t(stream.totalSamples / rate);
}

// Closes the open track, whatever its state.
void CloseCurrent()
{
    EndOutput();
    EnterCriticalSection(&engine.lock);
    if (engine.trackOpen)
        CloseTrack(&engine.track);
    engine.trackOpen = false;
    engine.state = StateNoTrack;
    engine.heardBase = 0;
    engine.endOfData = false;
    LeaveCriticalSection(&engine.lock);
}

// Moves the decoding cursor to `sample`, dropping the sound that was
// queued; the lock is held.
void MoveTo(uint64_t sample)
{
    CloseOutput();
    SeekTrack(&engine.track, sample);
    engine.heardBase = engine.track.position;
    engine.endOfData = false;
}

// Plays on from `sample` on a freshly opened device, which the playback
// thread starts once it has filled it; the lock is held.
bool PlayFrom(uint64_t sample)
{
    if (!engine.trackOpen)
        return false;
    MoveTo(sample);
    if (!StartOutput()) {
        engine.state = StateFailed;
        return false;
    }
    engine.state = StatePlaying;
    SetEvent(engine.wake);
    return true;
}

} // namespace

// Declared, and marked for export, in vbmp3.h.
#define ENTRY(name, ...) extern "C" int __stdcall name(__VA_ARGS__)

ENTRY(vbmp3_init)
{
    bool ready = CanDecodeMp3() && waveOutGetNumDevs() > 0;
    EnterCriticalSection(&engine.lock);
    engine.ready = ready ? 1 : 0;
    LeaveCriticalSection(&engine.lock);
    return ready ? 1 : 0;
}

ENTRY(vbmp3_getVersion) { return EngineVersion; }

ENTRY(vbmp3_open, const char *path, InfoRecord *info)
{
    CloseCurrent();
    if (info)
        std::memset(info, 0, sizeof(InfoRecord));
    EnterCriticalSection(&engine.lock);
    bool opened = OpenTrack(&engine.track, path);
    // 24-bit sound where the device takes it, else 16 bits with dither.
    const Track &track = engine.track;
    if (opened && track.bits > 16 && !WaveOutputTakes(int(track.sampleRate), int(track.channels), int(track.bits)))
        LimitTrackTo16Bits(&engine.track);
    if (opened) {
        engine.trackOpen = true;
        engine.state = StateStopped;
        if (info)
            FillInfo(info, engine.track);
    }
    LeaveCriticalSection(&engine.lock);
    return opened ? 1 : 0;
}

ENTRY(vbmp3_play)
{
    EnterCriticalSection(&engine.lock);
    bool playing = PlayFrom(0);
    LeaveCriticalSection(&engine.lock);
    return playing ? 1 : 0;
}

ENTRY(vbmp3_getState, int *position)
{
    EnterCriticalSection(&engine.lock);
    int state = engine.state;
    if (position) {
        uint64_t rate = engine.trackOpen ? uint64_t(engine.track.sampleRate) : 0;
        *position = rate ? int(HeardSample() / rate) : 0;
    }
    LeaveCriticalSection(&engine.lock);
    return state;
}

ENTRY(vbmp3_pause)
{
    EnterCriticalSection(&engine.lock);
    bool paused = engine.state == StatePlaying;
    if (paused) {
        // What the device holds stays queued and plays on at the restart.
        if (engine.outputOpen)
            PauseWaveOutput(&engine.output);
        engine.state = StatePaused;
    }
    LeaveCriticalSection(&engine.lock);
    return paused ? 1 : 0;
}

ENTRY(vbmp3_restart)
{
    EnterCriticalSection(&engine.lock);
    bool playing = false;
    if (engine.state == StatePaused && engine.outputOpen) {
        // The playback thread tops the buffers up and starts the device.
        engine.state = StatePlaying;
        SetEvent(engine.wake);
        playing = true;
    } else if (engine.state == StatePaused) {
        playing = PlayFrom(engine.heardBase); // moved while paused
    } else if (engine.state == StateStopped || engine.state == StateEnded) {
        playing = PlayFrom(HeardSample());
    } else {
        playing = engine.state == StatePlaying;
    }
    LeaveCriticalSection(&engine.lock);
    return playing ? 1 : 0;
}

ENTRY(vbmp3_stop)
{
    EnterCriticalSection(&engine.lock);
    bool stopped = false;
    if (engine.trackOpen && engine.state != StateStopped) {
        MoveTo(HeardSample());
        engine.state = StateStopped;
        stopped = true;
    }
    LeaveCriticalSection(&engine.lock);
    return stopped ? 1 : 0;
}

ENTRY(vbmp3_seek, int seconds)
{
    EnterCriticalSection(&engine.lock);
    bool moved = engine.trackOpen;
    if (moved) {
        uint64_t sample = seconds > 0 ? uint64_t(seconds) * uint64_t(engine.track.sampleRate) : 0;
        // Playing plays on from there on a fresh device; paused stays
        // paused, without a device until it plays on.
        if (engine.state == StatePlaying) {
            PlayFrom(sample);
        } else {
            MoveTo(sample);
            if (engine.state == StateEnded || engine.state == StateFailed)
                engine.state = StateStopped;
        }
    }
    LeaveCriticalSection(&engine.lock);
    return moved ? 1 : 0;
}

ENTRY(vbmp3_close)
{
    CloseCurrent();
    return 1;
}

ENTRY(vbmp3_free)
{
    CloseCurrent();
    EnterCriticalSection(&engine.lock);
    engine.ready = 0;
    LeaveCriticalSection(&engine.lock);
    return 1;
}

// Kept for callers that bind it; the engine calls nobody back.
ENTRY(vbmp3_clallback) { return 0; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&engine.lock);
    }
    return TRUE;
}
