#include "playback/reports.h"

#include "core/player_state.h"

#include <mmsystem.h>

static void NoLength(uint32_t) {}
static void NoState(Transport) {}
static void NoPosition(int) {}
static void NoEnd() {}

static const PlaybackReports Silent = {nullptr, NoLength, NoState, NoPosition, NoEnd};

PlaybackReports playbackReports = Silent;

void ResetPlaybackReports() { playbackReports = Silent; }

void PollTrack()
{
    if (!player.playing)
        return;
    int position = 0;
    if (ReadTrackPosition(position))
        playbackReports.positionMoved(position);
    else
        playbackReports.trackEnded();
}

// A play cut short by a seek, a close or a new open reports another code,
// and the track that replaced it is already under way. A successful
// notice that finds no MCI track playing is not the end of the track the
// user hears: it is late, from a track already replaced, or it answers a
// command that has just resumed or paused the device.
void OnMciNotice(WPARAM code)
{
    if (code == MCI_NOTIFY_SUCCESSFUL && player.playing && player.backEnd == Mci)
        playbackReports.trackEnded();
}
