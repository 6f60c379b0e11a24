// Every transport command goes to the back-end that opened the track: the
// MP3 engine library or the MCI device "music".
#include "playback/transport.h"

#include "core/player_state.h"
#include "playback/back_end.h"
#include "playback/mp3_engine.h"
#include "playback/reports.h"

const BackEndOperations &BackEndOf(BackEnd backEnd) { return backEnd == Mp3Engine ? EngineBackEnd : MciBackEnd; }

static const BackEndOperations &Current() { return BackEndOf(player.backEnd); }

void SetTransport(Transport state)
{
    player.trackOpen = state != Transport::Idle;
    player.playing = state == Transport::Playing;
    player.paused = state == Transport::Paused;
    player.stopped = state == Transport::Stopped;
    // Whatever the track did before, it starts afresh being watched.
    if (state == Transport::Playing)
        WatchPositionAfresh();
    playbackReports.transportChanged(state);
}

bool OpenTrack(const std::string &path, bool mp3Engine)
{
    if (mp3Engine) {
        if (EngineBackEnd.open(path))
            return true;
        // What the engine refuses, an MPEG Layer II stream named .mp3 for
        // one, the platform's media services may still play.
        EngineBackEnd.close();
    }
    return MciBackEnd.open(path);
}

void PauseTrack()
{
    Current().pause();
    SetTransport(Transport::Paused);
}

void ResumeTrack()
{
    Current().resume();
    SetTransport(Transport::Playing);
}

void RestartTrack()
{
    Current().restart();
    SetTransport(Transport::Playing);
}

void StopTrack()
{
    Current().stop();
    SetTransport(Transport::Stopped);
}

void SeekTrack(int seconds)
{
    Current().seek(seconds);
    WatchPositionAfresh();
}

bool ReadTrackPosition(int &seconds)
{
    seconds = 0;
    return Current().position(seconds);
}

void CloseTrack() { Current().close(); }

void CloseTrackBeforeOpen()
{
    if (player.trackOpen)
        Current().closeBeforeOpen();
}

void EndPlayback()
{
    if (player.trackOpen)
        Current().shutDown();
    UnloadMp3Engine();
}
