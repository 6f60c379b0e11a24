// The media keys against the real main window: every key, as an
// application command and as a hot key, in every transport state on both
// back-ends does exactly what the matching button press (or the move to
// another entry) does; and the hot keys are held while the window lives,
// unless another window held them first.
#include "controls_fixture.h"

#include "playback/play_track.h"

#include <mmsystem.h>

namespace controls_test {
namespace {

typedef std::vector<std::string> Commands;

enum Key { PlayPauseKey, PlayKey, PauseKey, NextKey, StopKey };

// How a key reaches the main window: an application command while the
// player has the keyboard focus, a hot key otherwise (only the three keys
// that the player registers).
struct Delivery {
    const char *name;
    Key key;
    UINT message;
    int code; // the application command, or the hot key's id
};

const Delivery Deliveries[] = {
    {"play/pause command", PlayPauseKey, WM_APPCOMMAND, APPCOMMAND_MEDIA_PLAY_PAUSE},
    {"play command", PlayKey, WM_APPCOMMAND, APPCOMMAND_MEDIA_PLAY},
    {"pause command", PauseKey, WM_APPCOMMAND, APPCOMMAND_MEDIA_PAUSE},
    {"next track command", NextKey, WM_APPCOMMAND, APPCOMMAND_MEDIA_NEXTTRACK},
    {"stop command", StopKey, WM_APPCOMMAND, APPCOMMAND_MEDIA_STOP},
    {"play/pause hot key", PlayPauseKey, WM_HOTKEY, VK_MEDIA_PLAY_PAUSE},
    {"next track hot key", NextKey, WM_HOTKEY, VK_MEDIA_NEXT_TRACK},
    {"stop hot key", StopKey, WM_HOTKEY, VK_MEDIA_STOP},
};

// What a keyboard sends: the command in the high word, no mouse buttons or
// modifier keys, from the keyboard.
LPARAM CommandParameter(int command) { return MAKELPARAM(0, command | FAPPCOMMAND_KEY); }

LRESULT SendKey(HWND target, const Delivery &delivery)
{
    if (delivery.message == WM_APPCOMMAND)
        return SendMessageA(target, WM_APPCOMMAND, reinterpret_cast<WPARAM>(target),
                            CommandParameter(delivery.code));
    return SendMessageA(target, WM_HOTKEY, delivery.code, MAKELPARAM(0, delivery.code));
}

// What a key does, said as the press it matches.
enum Match { PressPlayButton, PressPauseButton, PressStopButton, NextEntry, NoPress };
const char *const MatchNames[] = {"the play button's press", "the pause button's press",
                                  "the stop button's press", "PlayTrack(-1)", "nothing"};

struct KeyCase {
    Key key;
    Transport before;
    Match match;
    Transport after;
};

const KeyCase KeyCases[] = {
    // Play/pause toggles through the pause button, and starts a stopped
    // track through the play button.
    {PlayPauseKey, Idle, PressPlayButton, Idle},
    {PlayPauseKey, Playing, PressPauseButton, Paused},
    {PlayPauseKey, Paused, PressPauseButton, Playing},
    {PlayPauseKey, Stopped, PressPlayButton, Playing},
    // A play key of its own never pauses: it resumes a paused track where
    // it was, and starts a stopped one from its beginning.
    {PlayKey, Idle, PressPlayButton, Idle},
    {PlayKey, Playing, PressPlayButton, Playing},
    {PlayKey, Paused, PressPauseButton, Playing},
    {PlayKey, Stopped, PressPlayButton, Playing},
    // A pause key of its own only pauses: pressed again, it does not
    // resume.
    {PauseKey, Idle, NoPress, Idle},
    {PauseKey, Playing, PressPauseButton, Paused},
    {PauseKey, Paused, NoPress, Paused},
    {PauseKey, Stopped, NoPress, Stopped},
    // Next track moves on in any state while the list has an entry.
    {NextKey, Idle, NextEntry, Playing},
    {NextKey, Playing, NextEntry, Playing},
    {NextKey, Paused, NextEntry, Playing},
    {NextKey, Stopped, NextEntry, Playing},
    {StopKey, Idle, PressStopButton, Idle},
    {StopKey, Playing, PressStopButton, Stopped},
    {StopKey, Paused, PressStopButton, Stopped},
    {StopKey, Stopped, PressStopButton, Stopped},
};

// Everything a press or a key can change that a test can see.
struct Outcome {
    Commands mci;
    std::vector<HWND> callbacks;
    Commands engine;
    Transport state;
    BackEnd backEnd;
    LRESULT sliderPosition;
    BOOL sliderEnabled;
    std::string title;
    uint32_t currentIndex;
    std::vector<std::string> playlist;
};

class MediaKeysTest : public ControlsTest {
  protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        song = folder / "song.wav";
        WriteToneWav(song, 1, 440);
    }

    // The player as a track in `state` on `backEnd` leaves it, with the
    // one song in the list (or none).
    void Prepare(Transport state, BackEnd backEnd, bool withSong)
    {
        player.playlist.clear();
        if (withSong)
            player.playlist.push_back(song);
        player.currentIndex = 0;
        player.title = state == Idle ? "" : "song.wav";
        SetTransportFlags(state, backEnd);
        PrepareSlider(state);
    }

    // Runs `act` from the prepared state and notes what it changed.
    Outcome Run(Transport state, BackEnd backEnd, bool withSong, const std::function<void()> &act)
    {
        Prepare(state, backEnd, withSong);
        FakeEngine engine;
        MciRecorder mci;
        act();
        Outcome outcome;
        outcome.mci = mci.Commands();
        for (const MciCall &call : mci.calls)
            outcome.callbacks.push_back(call.callback);
        outcome.engine = engine.calls;
        outcome.state = CurrentTransport();
        outcome.backEnd = player.backEnd;
        outcome.sliderPosition = SliderPosition();
        outcome.sliderEnabled = IsWindowEnabled(player.trackBar);
        outcome.title = player.title;
        outcome.currentIndex = player.currentIndex;
        outcome.playlist = player.playlist;
        return outcome;
    }

    static void Perform(Match match)
    {
        switch (match) {
        case PressPlayButton:
            Press(player.playButton);
            break;
        case PressPauseButton:
            Press(player.pauseButton);
            break;
        case PressStopButton:
            Press(player.stopButton);
            break;
        case NextEntry:
            PlayTrack(-1);
            break;
        case NoPress:
            break;
        }
    }

    static void ExpectSame(const Outcome &key, const Outcome &press)
    {
        EXPECT_EQ(key.mci, press.mci);
        EXPECT_EQ(key.callbacks, press.callbacks);
        EXPECT_EQ(key.engine, press.engine);
        EXPECT_STREQ(TransportName(key.state), TransportName(press.state));
        EXPECT_EQ(key.backEnd, press.backEnd);
        EXPECT_EQ(key.sliderPosition, press.sliderPosition);
        EXPECT_EQ(key.sliderEnabled != 0, press.sliderEnabled != 0);
        EXPECT_EQ(key.title, press.title);
        EXPECT_EQ(key.currentIndex, press.currentIndex);
        EXPECT_EQ(key.playlist, press.playlist);
    }

    std::string song;
};

TEST_F(MediaKeysTest, EveryKeyInEveryStateDoesWhatTheMatchingPressDoes)
{
    for (const Delivery &delivery : Deliveries) {
        for (const KeyCase &c : KeyCases) {
            if (c.key != delivery.key)
                continue;
            for (BackEnd backEnd : {Mci, Mp3Engine}) {
                SCOPED_TRACE(std::string(delivery.name) + " while " + TransportName(c.before) + " on " +
                             (backEnd == Mci ? "MCI" : "the engine") + ", matching " + MatchNames[c.match]);
                const Outcome press = Run(c.before, backEnd, true, [&] { Perform(c.match); });
                LRESULT result = 0;
                const Outcome key =
                    Run(c.before, backEnd, true, [&] { result = SendKey(player.mainWindow, delivery); });
                ExpectSame(key, press);
                EXPECT_STREQ(TransportName(key.state), TransportName(c.after));
                if (delivery.message == WM_APPCOMMAND) {
                    EXPECT_EQ(result, TRUE) << "a media command the player acts on is not passed on";
                }
            }
        }
    }
}

// With an empty list there is nothing to move on to; the other keys still
// act on a track that plays on (a list file that could not be read empties
// the list without stopping it).
TEST_F(MediaKeysTest, NextTrackWithAnEmptyListDoesNothing)
{
    for (const Delivery &delivery : Deliveries) {
        if (delivery.key != NextKey)
            continue;
        for (Transport state : {Idle, Playing, Paused, Stopped}) {
            for (BackEnd backEnd : {Mci, Mp3Engine}) {
                SCOPED_TRACE(std::string(delivery.name) + " while " + TransportName(state) + " on " +
                             (backEnd == Mci ? "MCI" : "the engine"));
                const Outcome nothing = Run(state, backEnd, false, [] {});
                const Outcome key = Run(state, backEnd, false, [&] { SendKey(player.mainWindow, delivery); });
                ExpectSame(key, nothing);
                EXPECT_TRUE(key.mci.empty());
                EXPECT_TRUE(key.engine.empty());
            }
        }
    }
}

TEST_F(MediaKeysTest, OtherCommandsAndHotKeysArePassedOnUntouched)
{
    struct Other {
        const char *name;
        UINT message;
        int code;
    };
    const Other others[] = {
        {"previous track command", WM_APPCOMMAND, APPCOMMAND_MEDIA_PREVIOUSTRACK},
        {"volume up command", WM_APPCOMMAND, APPCOMMAND_VOLUME_UP},
        {"browser back command", WM_APPCOMMAND, APPCOMMAND_BROWSER_BACKWARD},
        {"previous track hot key", WM_HOTKEY, VK_MEDIA_PREV_TRACK},
        {"hot key of another id", WM_HOTKEY, 0x1234},
    };
    for (const Other &other : others) {
        for (Transport state : {Idle, Playing, Paused, Stopped}) {
            SCOPED_TRACE(std::string(other.name) + " while " + TransportName(state));
            const Outcome nothing = Run(state, Mci, true, [] {});
            LRESULT result = -1;
            const Delivery delivery = {other.name, PlayPauseKey, other.message, other.code};
            const Outcome key = Run(state, Mci, true, [&] { result = SendKey(player.mainWindow, delivery); });
            ExpectSame(key, nothing);
            if (other.message == WM_APPCOMMAND) {
                EXPECT_EQ(result, FALSE) << "what the player does not act on goes to DefWindowProcA";
            }
        }
    }
}

// Clicking the slider gives it the keyboard focus; the commands that then
// reach it are passed up to the main window.
TEST_F(MediaKeysTest, CommandsReachThePlayerWhileTheSliderHasTheFocus)
{
    const Delivery &playPause = Deliveries[0];
    ASSERT_EQ(playPause.message, static_cast<UINT>(WM_APPCOMMAND));
    const Outcome key = Run(Playing, Mci, true, [&] {
        SetFocus(player.trackBar);
        SendKey(player.trackBar, playPause);
    });
    EXPECT_EQ(key.mci, Commands{"pause music"});
    EXPECT_STREQ(TransportName(key.state), TransportName(Paused));
}

TEST_F(MediaKeysTest, KeysAreHeldWhileTheWindowLivesAndGivenBackWhenItCloses)
{
    for (UINT key : PlayerKeys)
        EXPECT_FALSE(KeyIsFree(key)) << std::hex << key;
    StopTestPlayer();
    for (UINT key : PlayerKeys)
        EXPECT_TRUE(KeyIsFree(key)) << std::hex << key;
}

// Another program (or another Tunewell) that holds the keys keeps them:
// the player starts, answers the keys while it has the focus, and closes
// as always, and the other window still holds the keys afterwards.
class MediaKeysHeldElsewhereTest : public PlayerTest {};

TEST_F(MediaKeysHeldElsewhereTest, PlayerStartsRunsAndClosesWithoutThem)
{
    HWND holder = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(holder, nullptr);
    for (UINT key : PlayerKeys)
        ASSERT_TRUE(RegisterHotKey(holder, static_cast<int>(key), 0, key)) << std::hex << key;

    TempDir folder;
    std::string song = folder / "song.wav";
    WriteToneWav(song, 1, 440);
    MciRecorder mci;
    HWND window = StartTestPlayer(folder.path(), song);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(CurrentTransport(), Playing);
    for (UINT key : PlayerKeys)
        EXPECT_FALSE(KeyIsFree(key)) << std::hex << key;

    mci.Clear();
    EXPECT_EQ(SendMessageA(window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(window),
                           CommandParameter(APPCOMMAND_MEDIA_PLAY_PAUSE)),
              TRUE);
    EXPECT_EQ(mci.Commands(), Commands{"pause music"});
    EXPECT_EQ(CurrentTransport(), Paused);

    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(window));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    // Closing the player took nothing from the window that holds the keys.
    for (UINT key : PlayerKeys) {
        EXPECT_FALSE(KeyIsFree(key)) << std::hex << key;
        EXPECT_TRUE(UnregisterHotKey(holder, static_cast<int>(key))) << std::hex << key;
    }
    DestroyWindow(holder);
}

} // namespace
} // namespace controls_test
