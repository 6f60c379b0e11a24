// The timer's position poll and the slider's seeks.
#include "core/player_state.h"
#include "playback/play_track.h"
#include "playback/transport.h"
#include "ui/main_window.h"

#include <commctrl.h>

// The time display stops at 99:59; the slider still shows the true position.
const uint32_t LongestShownSeconds = 5999;

void OnTimer()
{
    if (!player.playing)
        return;

    int position = 0;
    if (!ReadTrackPosition(position)) {
        PlayTrack(-1);
        return;
    }

    // A tick moves and repaints only what changed: the position changes
    // once a second, the tick comes every 300 ms. The thumb is compared
    // with where it stands, so a thumb the user moved is put back.
    if (SendMessageA(player.trackBar, TBM_GETPOS, 0, 0) != position)
        SendMessageA(player.trackBar, TBM_SETPOS, TRUE, position);
    uint32_t seconds = static_cast<uint32_t>(position);
    uint32_t shown = seconds > LongestShownSeconds ? LongestShownSeconds : seconds;
    // Every other change of the times repaints the whole face, so the time
    // text on the face shows elapsedSeconds.
    if (shown == player.elapsedSeconds)
        return;
    player.elapsedSeconds = shown;
    InvalidateRect(player.mainWindow, &player.timeRect, FALSE);
    UpdateWindow(player.mainWindow);
}

void OnHScroll()
{
    // Every slider notification seeks alike, but only while playing.
    if (!player.playing)
        return;

    SeekTrack(static_cast<int>(SendMessageA(player.trackBar, TBM_GETPOS, 0, 0)));
}
