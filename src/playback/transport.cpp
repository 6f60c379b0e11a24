// Every transport command goes to the back-end that opened the track: the
// MP3 engine library or the MCI device "music".
#include "playback/transport.h"

#include "core/player_state.h"
#include "playback/mci.h"
#include "playback/mp3_engine.h"
#include "playback/repaint.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>

static bool OnEngine() { return player.backEnd == Mp3Engine; }

// The end-of-track notice is asked for again with every play on MCI.
static void PlayOnMciWithNotice() { SendMci("play music notify", nullptr, 0, player.mainWindow); }

// A MIDI track whose position stands still while it plays is not being
// heard: its sequencer has nothing to play on. After this many polls in a
// row (3 s of the 300 ms timer) it counts as ended, so the list goes on.
const int32_t StillPollsUntilEnded = 10;

static void ForgetLastPosition()
{
    player.stillPolls = 0;
    player.lastPositionMs = -1;
}

static bool StandsStill(long positionMs)
{
    if (!player.midiTrack)
        return false;
    if (positionMs != player.lastPositionMs) {
        player.lastPositionMs = static_cast<int32_t>(positionMs);
        player.stillPolls = 0;
        return false;
    }
    return ++player.stillPolls >= StillPollsUntilEnded;
}

void SetTransport(Transport state)
{
    player.trackOpen = state != Transport::Idle;
    player.playing = state == Transport::Playing;
    player.paused = state == Transport::Paused;
    player.stopped = state == Transport::Stopped;
    // Whatever the track did before, it starts afresh being watched.
    if (state == Transport::Playing)
        ForgetLastPosition();
    // No seeking unless playing: the slider waits for playing to resume.
    if (state == Transport::Stopped || state == Transport::Idle)
        SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 0);
    EnableWindow(player.trackBar, state == Transport::Playing);
    RepaintFace();
}

void PauseTrack()
{
    if (OnEngine())
        player.vbmp3.pause();
    else
        SendMci("pause music");
    SetTransport(Transport::Paused);
}

void ResumeTrack()
{
    if (OnEngine()) {
        player.vbmp3.restart();
    } else if (SendMci("resume music") != 0) {
        // A play on a paused device would resume it too, but Wine's wave
        // player answers such a play's notice at once as successful, and
        // drops the notice of the play that is running: the player would
        // take the resume for the end of the track. A resume keeps the
        // running play and its notice; only a device that cannot resume is
        // played on.
        PlayOnMciWithNotice();
    }
    SetTransport(Transport::Playing);
}

void RestartTrack()
{
    if (OnEngine()) {
        // A stopped engine track is rewound and restarted like a paused
        // one; left alone, the engine would report "not playing" at the
        // next tick and the player would skip to another entry.
        player.vbmp3.seek(0);
        player.vbmp3.restart();
    } else {
        SendMci("seek music to start");
        PlayOnMciWithNotice();
    }
    SetTransport(Transport::Playing);
}

void StopTrack()
{
    if (OnEngine()) {
        player.vbmp3.stop();
        player.vbmp3.seek(0);
    } else {
        SendMci("stop music");
        SendMci("seek music to start wait");
    }
    SetTransport(Transport::Stopped);
}

void SeekTrack(int seconds)
{
    if (OnEngine()) {
        player.vbmp3.seek(seconds);
    } else {
        // The seek leaves the device stopped; the play restarts it and asks
        // again for the end-of-track notice.
        char command[64];
        wsprintfA(command, "seek music to %d", static_cast<int>(static_cast<uint32_t>(seconds) * 1000u));
        SendMci(command);
        PlayOnMciWithNotice();
    }
    ForgetLastPosition();
}

bool ReadTrackPosition(int &seconds)
{
    seconds = 0;
    if (OnEngine()) {
        // Any state but playing means the track has ended.
        return player.vbmp3.getState(&seconds) == StatePlaying;
    }
    // A failed query leaves the reply empty, which reads as 0.
    char reply[16] = "";
    SendMci("status music position wait", reply, sizeof reply);
    seconds = MciReplySeconds(reply);
    return !StandsStill(std::strtol(reply, nullptr, 10));
}

void CloseTrack()
{
    if (OnEngine())
        player.vbmp3.close();
    else
        SendMci("close music");
}

void CloseTrackBeforeOpen()
{
    if (!player.trackOpen)
        return;
    if (OnEngine())
        player.vbmp3.close();
    else
        SendMci("close music wait");
}

void EndPlayback()
{
    if (player.trackOpen) {
        if (OnEngine()) {
            player.vbmp3.close();
        } else {
            SendMci("stop music");
            SendMci("close music");
        }
    }
    UnloadMp3Engine();
}
