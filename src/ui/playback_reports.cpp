// How the face learns what playback does: a track that opens sets the
// slider's range, a change of the transport shows at once, the position
// moves the slider and the time, and a track that ends makes way for the
// next.
#include "ui/playback_reports.h"

#include "core/player_state.h"
#include "playback/play_track.h"
#include "playback/reports.h"
#include "ui/face.h"
#include "ui/main_window.h"

#include <commctrl.h>

// The time display stops at 99:59; the slider still shows the true position.
const uint32_t LongestShownSeconds = 5999;

static void ShowOpenedTrack(uint32_t totalSeconds)
{
    SendMessageA(player.trackBar, TBM_SETRANGEMAX, TRUE, static_cast<LPARAM>(totalSeconds));
    SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 0);
}

static void ShowTransport(Transport state)
{
    // No seeking unless playing: the slider waits for playing to resume.
    if (state == Transport::Stopped || state == Transport::Idle)
        SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 0);
    EnableWindow(player.trackBar, state == Transport::Playing);
    // The position is polled only while a track plays: an idle, paused or
    // stopped player wakes for nothing.
    if (state == Transport::Playing)
        SetTimer(player.mainWindow, PollTimerId, PollIntervalMs, nullptr);
    else
        KillTimer(player.mainWindow, PollTimerId);
    RepaintFace();
}

static void ShowPosition(int position)
{
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
    RepaintTime();
}

static void PlayNextTrack() { PlayTrack(-1); }

void ListenToPlayback(HWND window)
{
    playbackReports = {window, ShowOpenedTrack, ShowTransport, ShowPosition, PlayNextTrack};
}

void OnHScroll()
{
    // Every slider notification seeks alike, but only while playing.
    if (!player.playing)
        return;

    SeekTrack(static_cast<int>(SendMessageA(player.trackBar, TBM_GETPOS, 0, 0)));
}
