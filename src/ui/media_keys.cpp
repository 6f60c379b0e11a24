// The keyboard's media keys: play/pause, next track and stop (and play and
// pause where a keyboard has them apart) press the same buttons a mouse
// does, so a key can never do what no button would. With the keyboard
// focus the keys arrive as application commands; without it, as the hot
// keys registered for the main window while it lives.
#include "ui/media_keys.h"

#include "core/player_state.h"
#include "playback/play_track.h"
#include "playlist/store.h"
#include "ui/controls/controls.h"

// The hot keys, each registered under its own key code as its id.
static const UINT HotKeys[] = {VK_MEDIA_PLAY_PAUSE, VK_MEDIA_NEXT_TRACK, VK_MEDIA_STOP};

void RegisterMediaKeys(HWND window)
{
    // A key that another program (or another Tunewell) holds already stays
    // with it: the player then hears that key only while it has the focus.
    for (UINT key : HotKeys)
        RegisterHotKey(window, static_cast<int>(key), 0, key);
}

void UnregisterMediaKeys(HWND window)
{
    // A key that could not be registered is simply not found here.
    for (UINT key : HotKeys)
        UnregisterHotKey(window, static_cast<int>(key));
}

// One key toggles: the pause button while a track plays or is paused, the
// play button (which restarts a stopped track) otherwise.
static void PressPlayPause()
{
    if (player.playing || player.paused)
        PressPause();
    else
        PressPlay();
}

// A play key of its own resumes a paused track where it was, as the pause
// button does, and otherwise presses play; while playing it does nothing.
static void PressPlayKey()
{
    if (player.paused)
        PressPause();
    else
        PressPlay();
}

// A pause key of its own only pauses: pressing it again does not resume.
static void PressPauseKey()
{
    if (player.playing)
        PressPause();
}

// Another entry by the usual choice, whatever the state, as long as there
// is one to choose.
static void PressNextTrack()
{
    if (!player.playlist.empty())
        PlayTrack(-1);
}

bool OnAppCommand(int command)
{
    switch (command) {
    case APPCOMMAND_MEDIA_PLAY_PAUSE:
        PressPlayPause();
        return true;
    case APPCOMMAND_MEDIA_PLAY:
        PressPlayKey();
        return true;
    case APPCOMMAND_MEDIA_PAUSE:
        PressPauseKey();
        return true;
    case APPCOMMAND_MEDIA_NEXTTRACK:
        PressNextTrack();
        return true;
    case APPCOMMAND_MEDIA_STOP:
        PressStop();
        return true;
    }
    return false;
}

void OnHotKey(int id)
{
    switch (id) {
    case VK_MEDIA_PLAY_PAUSE:
        PressPlayPause();
        break;
    case VK_MEDIA_NEXT_TRACK:
        PressNextTrack();
        break;
    case VK_MEDIA_STOP:
        PressStop();
        break;
    }
}
