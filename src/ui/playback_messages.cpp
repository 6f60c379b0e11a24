// The timer's position poll and the slider's seeks, on whichever back-end
// plays the open track.
#include "ui/ui.h"

#include "app/player_state.h"
#include "playback/mci.h"
#include "playback/mp3_engine.h"
#include "playback/play_track.h"

#include <commctrl.h>

// The time display stops at 99:59; the slider still shows the true position.
const uint32_t LongestShownSeconds = 5999;

void OnTimer()
{
    if (!player.playing)
        return;

    int position = 0;
    if (player.backEnd == Mp3Engine) {
        // Any state but playing means the track has ended.
        if (vbmp3_getState(&position) != 1) {
            PlayTrack(-1);
            return;
        }
    } else {
        // A failed query leaves the reply empty, which reads as 0.
        char reply[16] = "";
        SendMci("status music position wait", reply, sizeof reply);
        position = MciReplySeconds(reply);
    }

    SendMessageA(player.trackBar, TBM_SETPOS, TRUE, position);
    uint32_t seconds = static_cast<uint32_t>(position);
    player.elapsedSeconds = seconds > LongestShownSeconds ? LongestShownSeconds : seconds;
    InvalidateRect(player.mainWindow, &player.timeRect, FALSE);
    UpdateWindow(player.mainWindow);
}

void OnHScroll()
{
    // Every slider notification seeks alike, but only while playing.
    if (!player.playing)
        return;

    int seconds = static_cast<int>(SendMessageA(player.trackBar, TBM_GETPOS, 0, 0));
    if (player.backEnd == Mp3Engine) {
        vbmp3_seek(seconds);
    } else {
        // The seek leaves the device stopped; the play restarts it and asks
        // again for the end-of-track notice.
        char command[64];
        wsprintfA(command, "seek music to %d", static_cast<int>(static_cast<uint32_t>(seconds) * 1000u));
        SendMci(command);
        SendMci("play music notify", nullptr, 0, player.mainWindow);
    }
}
