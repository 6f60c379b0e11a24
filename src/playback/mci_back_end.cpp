// The MCI device "music": WAV, MIDI and whatever the platform's media
// services play. The end of a track comes as a notice to the main window,
// asked for again with every play.
#include "playback/back_end.h"

#include "playback/mci.h"
#include "playback/reports.h"

#include <cstdint>
#include <cstdlib>

static void PlayWithNotice() { SendMci("play music notify", nullptr, 0, playbackReports.noticeWindow); }

static bool OpenOnMci(const std::string &path)
{
    player.backEnd = Mci;
    if (player.trackOpen)
        SendMci("close music wait");
    Sleep(5);
    std::string command = "open \"" + path + "\" alias music wait";
    if (SendMci(command.c_str()) != 0)
        return false;
    SendMci("set music time format milliseconds wait");
    // A query that goes unanswered leaves the reply empty: length 0.
    char reply[16] = {};
    if (SendMci("status music length wait", reply, sizeof reply) != 0)
        reply[0] = '\0';
    player.totalSeconds = static_cast<uint32_t>(MciReplySeconds(reply));
    PlayWithNotice();
    return true;
}

static void PauseOnMci() { SendMci("pause music"); }

static void ResumeOnMci()
{
    // A play on a paused device would resume it too, but Wine's wave player
    // answers such a play's notice at once as successful, and drops the
    // notice of the play that is running: the player would take the resume
    // for the end of the track. A resume keeps the running play and its
    // notice; only a device that cannot resume is played on.
    if (SendMci("resume music") != 0)
        PlayWithNotice();
}

static void RestartOnMci()
{
    SendMci("seek music to start");
    PlayWithNotice();
}

static void StopOnMci()
{
    SendMci("stop music");
    SendMci("seek music to start wait");
}

static void SeekOnMci(int seconds)
{
    // The seek leaves the device stopped; the play restarts it and asks
    // again for the end-of-track notice.
    char command[64];
    wsprintfA(command, "seek music to %d", static_cast<int>(static_cast<uint32_t>(seconds) * 1000u));
    SendMci(command);
    PlayWithNotice();
}

// A MIDI track whose position stands still while it plays is not being
// heard: its sequencer has nothing to play on. After this many polls in a
// row (3 s of the 300 ms timer) it counts as ended, so the list goes on.
const int32_t StillPollsUntilEnded = 10;

void WatchPositionAfresh()
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

static bool PositionOnMci(int &seconds)
{
    // A failed query leaves the reply empty, which reads as 0.
    char reply[16] = "";
    SendMci("status music position wait", reply, sizeof reply);
    seconds = MciReplySeconds(reply);
    return !StandsStill(std::strtol(reply, nullptr, 10));
}

static void CloseOnMci() { SendMci("close music"); }

static void CloseOnMciBeforeOpen() { SendMci("close music wait"); }

static void ShutDownMci()
{
    SendMci("stop music");
    SendMci("close music");
}

const BackEndOperations MciBackEnd = {
    OpenOnMci,     PauseOnMci, ResumeOnMci, RestartOnMci,         StopOnMci,
    SeekOnMci,     PositionOnMci, CloseOnMci, CloseOnMciBeforeOpen, ShutDownMci,
};
