// Every transport command goes to the back-end that opened the track: the
// MP3 engine library or the MCI device "music".
#include "playback/transport.h"

#include "core/player_state.h"
#include "playback/mci.h"
#include "playback/mp3_engine.h"
#include "playback/repaint.h"

#include <commctrl.h>

#include <cstdint>

static bool OnEngine() { return player.backEnd == Mp3Engine; }

// The end-of-track notice is asked for again with every play on MCI.
static void PlayOnMciWithNotice() { SendMci("play music notify", nullptr, 0, player.mainWindow); }

void SetTransport(Transport state)
{
    player.trackOpen = state != Transport::Idle;
    player.playing = state == Transport::Playing;
    player.paused = state == Transport::Paused;
    player.stopped = state == Transport::Stopped;
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
    if (OnEngine())
        player.vbmp3.restart();
    else
        PlayOnMciWithNotice();
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
    return true;
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
