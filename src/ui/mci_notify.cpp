#include "playback/play_track.h"
#include "ui/main_window.h"

#include <mmsystem.h>

// Only a play that ran to its end moves on. A play cut short by a seek, a
// close or a new open reports another code, and the track that replaced it
// is already under way.
void OnMciNotify(WPARAM code)
{
    if (code == MCI_NOTIFY_SUCCESSFUL)
        PlayTrack(-1);
}
