#include "core/player_state.h"
#include "playback/play_track.h"
#include "ui/main_window.h"

#include <mmsystem.h>

// Only a play that ran to its end moves on. A play cut short by a seek, a
// close or a new open reports another code, and the track that replaced it
// is already under way. A successful notice that finds no MCI track
// playing is not the end of the track the user hears: it is late, from a
// track already replaced, or it answers a command that has just resumed or
// paused the device.
void OnMciNotify(WPARAM code)
{
    if (code == MCI_NOTIFY_SUCCESSFUL && player.playing && player.backEnd == Mci)
        PlayTrack(-1);
}
