// The presses: every transport state against every button, the commands
// each back-end receives, the flags and the slider afterwards; double
// clicks; the close button.
#include "controls_fixture.h"

#include <mmsystem.h>

#include <algorithm>

namespace controls_test {
namespace {

typedef std::vector<std::string> Commands;

class ControlsTransportTest : public ControlsTest {};

enum Button { PlayButton, PauseButton, StopButton };
const char *const ButtonNames[] = {"play", "pause", "stop"};

HWND ButtonWindow(Button button)
{
    return button == PlayButton ? player.playButton : button == PauseButton ? player.pauseButton : player.stopButton;
}

struct TransitionCase {
    Transport before;
    Button press;
    Transport after;
    Commands mci;    // with the track on MCI
    Commands engine; // with the track on the MP3 engine
};

const Commands None;
const Commands McRestart = {"seek music to start", "play music notify"};
const Commands McStop = {"stop music", "seek music to start wait"};
const Commands EngineRestart = {"seek 0", "restart"};
const Commands EngineStop = {"stop", "seek 0"};

const TransitionCase Transitions[] = {
    {Idle, PlayButton, Idle, None, None},
    {Idle, PauseButton, Idle, None, None},
    {Idle, StopButton, Idle, None, None},
    {Playing, PlayButton, Playing, None, None},
    {Playing, PauseButton, Paused, {"pause music"}, {"pause"}},
    {Playing, StopButton, Stopped, McStop, EngineStop},
    {Paused, PlayButton, Playing, McRestart, EngineRestart},
    {Paused, PauseButton, Playing, {"resume music"}, {"restart"}},
    {Paused, StopButton, Stopped, McStop, EngineStop},
    // A stopped engine track is rewound and restarted, as on MCI.
    {Stopped, PlayButton, Playing, McRestart, EngineRestart},
    {Stopped, PauseButton, Stopped, None, None},
    {Stopped, StopButton, Stopped, None, None},
};

TEST_F(ControlsTransportTest, EveryPressInEveryStateFollowsTheTransitionTable)
{
    for (const TransitionCase &c : Transitions) {
        for (BackEnd backEnd : {Mci, Mp3Engine}) {
            SCOPED_TRACE(std::string(ButtonNames[c.press]) + " pressed while " + TransportName(c.before) + " on " +
                         (backEnd == Mci ? "MCI" : "the engine"));
            FakeEngine engine;
            MciRecorder mci;
            SetTransportFlags(c.before, backEnd);
            PrepareSlider(c.before);
            const LRESULT positionBefore = SliderPosition();
            const BOOL enabledBefore = IsWindowEnabled(player.trackBar);

            Press(ButtonWindow(c.press));

            EXPECT_EQ(mci.Commands(), backEnd == Mci ? c.mci : None);
            EXPECT_EQ(engine.calls, backEnd == Mp3Engine ? c.engine : None);
            for (const MciCall &call : mci.calls)
                EXPECT_EQ(call.callback, call.command == "play music notify" ? player.mainWindow : nullptr)
                    << call.command;
            EXPECT_EQ(TransportName(CurrentTransport()), TransportName(c.after));
            EXPECT_EQ(player.backEnd, backEnd);

            const bool changed = c.after != c.before;
            if (!changed) {
                // A press that does not apply leaves the slider alone too.
                EXPECT_EQ(SliderPosition(), positionBefore);
                EXPECT_EQ(IsWindowEnabled(player.trackBar), enabledBefore);
            } else {
                EXPECT_EQ(IsWindowEnabled(player.trackBar) != 0, c.after == Playing);
                // Only stopping rewinds the slider; the timer moves it otherwise.
                EXPECT_EQ(SliderPosition(), c.after == Stopped ? 0 : positionBefore);
            }
        }
    }
}

TEST_F(ControlsTransportTest, PressShowsTheNewStateBeforeItReturns)
{
    SetTransportFlags(Playing, Mci);
    PrepareSlider(Playing);
    MciRecorder mci;
    Capture(player.pauseButton);
    // No capture after the press: what the press painted is on the screen.
    Press(player.pauseButton);
    HDC dc = GetDC(player.pauseButton);
    EXPECT_EQ(Hex(GetPixel(dc, 7, 10)), Hex(ActiveColour));
    ReleaseDC(player.pauseButton, dc);
    dc = GetDC(player.playButton);
    EXPECT_EQ(Hex(GetPixel(dc, 9, 10)), Hex(IdleColour));
    ReleaseDC(player.playButton, dc);
}

TEST_F(ControlsTransportTest, StopKeepsTheTimeReachedAndLeavesTheSliderAtZero)
{
    SetTransportFlags(Playing, Mci);
    PrepareSlider(Playing);
    player.elapsedSeconds = 40;
    MciRecorder mci;
    Press(player.stopButton);
    EXPECT_EQ(player.elapsedSeconds, 40u);
    EXPECT_EQ(SliderPosition(), 0);
    EXPECT_FALSE(IsWindowEnabled(player.trackBar));
}

// Resuming keeps the play that started the track, and its end-of-track
// notice; a device that cannot resume is played on and asks anew.
TEST_F(ControlsTransportTest, AnMciDeviceThatCannotResumeIsPlayedOn)
{
    SetTransportFlags(Paused, Mci);
    PrepareSlider(Paused);
    MciRecorder mci;
    mci.Answer("resume music", MCIERR_UNSUPPORTED_FUNCTION);
    Press(player.pauseButton);
    EXPECT_EQ(mci.Commands(), (Commands{"resume music", "play music notify"}));
    ASSERT_EQ(mci.calls.size(), 2u);
    EXPECT_EQ(mci.calls[0].callback, nullptr);
    EXPECT_EQ(mci.calls[1].callback, player.mainWindow);
    EXPECT_EQ(TransportName(CurrentTransport()), TransportName(Playing));
}

TEST_F(ControlsTransportTest, StopThenPlayRestartsAnMciTrackFromItsStart)
{
    SetTransportFlags(Playing, Mci);
    PrepareSlider(Playing);
    MciRecorder mci;
    Press(player.stopButton);
    Press(player.playButton);
    EXPECT_EQ(mci.Commands(),
              (Commands{"stop music", "seek music to start wait", "seek music to start", "play music notify"}));
}

TEST_F(ControlsTransportTest, DoubleClicksOnPauseAndStopActOnce)
{
    struct Case {
        Transport before;
        Button button;
        Transport after;
        Commands mci;
    };
    const Case cases[] = {
        {Playing, PauseButton, Paused, {"pause music"}},
        {Paused, PauseButton, Playing, {"resume music"}},
        {Playing, StopButton, Stopped, McStop},
        {Paused, StopButton, Stopped, McStop},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(ButtonNames[c.button]) + " double-clicked while " + TransportName(c.before));
        MciRecorder mci;
        SetTransportFlags(c.before, Mci);
        PrepareSlider(c.before);
        DoubleClick(ButtonWindow(c.button));
        EXPECT_EQ(mci.Commands(), c.mci);
        EXPECT_EQ(TransportName(CurrentTransport()), TransportName(c.after));
    }
}

TEST_F(ControlsTransportTest, CloseEndsThePlayerInEveryState)
{
    for (Transport state : {Idle, Playing, Paused, Stopped}) {
        SCOPED_TRACE(TransportName(state));
        if (!player.mainWindow || !IsWindow(player.mainWindow)) {
            StopTestPlayer();
            SetUp();
        }
        MciRecorder mci;
        SetTransportFlags(state, Mci);
        HWND main = player.mainWindow;
        Press(player.closeButton);
        EXPECT_FALSE(IsWindow(main));
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
}

// Double-clicks on play reach PlayTrack(-1): the one entry of the list is
// opened again.
class ControlsDoubleClickTest : public ControlsTransportTest {
  protected:
    void SetUp() override
    {
        ControlsTransportTest::SetUp();
        song = folder / "song.wav";
        WriteToneWav(song, 1, 440);
        player.playlist = {song};
        player.currentIndex = 0;
        player.title = "song.wav";
    }
    std::string song;
    std::string Open() const { return MciOpenCommand(song); }
};

TEST_F(ControlsDoubleClickTest, OnPlayWhilePlayingAdvances)
{
    SetTransportFlags(Playing, Mci);
    PrepareSlider(Playing);
    MciRecorder mci;
    Press(player.playButton);
    EXPECT_TRUE(mci.calls.empty()) << "the press itself does nothing while playing";
    SendMessageA(player.playButton, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    Commands sent = mci.Commands();
    EXPECT_NE(std::find(sent.begin(), sent.end(), Open()), sent.end());
    EXPECT_EQ(CurrentTransport(), Playing);
}

TEST_F(ControlsDoubleClickTest, OnPlayWhilePausedOrStoppedStartsThenAdvances)
{
    for (Transport state : {Paused, Stopped}) {
        SCOPED_TRACE(TransportName(state));
        MciRecorder mci;
        SetTransportFlags(state, Mci);
        PrepareSlider(state);
        DoubleClick(player.playButton);
        Commands sent = mci.Commands();
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(Commands(sent.begin(), sent.begin() + 2), McRestart);
        EXPECT_NE(std::find(sent.begin() + 2, sent.end(), Open()), sent.end());
        EXPECT_EQ(CurrentTransport(), Playing);
    }
}

TEST_F(ControlsDoubleClickTest, DoubleClickMessageAloneDoesNothingUnlessPlaying)
{
    for (Transport state : {Idle, Paused, Stopped}) {
        SCOPED_TRACE(TransportName(state));
        MciRecorder mci;
        FakeEngine engine;
        SetTransportFlags(state, Mci);
        SendMessageA(player.playButton, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_TRUE(mci.calls.empty());
        EXPECT_TRUE(engine.calls.empty());
        EXPECT_EQ(CurrentTransport(), state);
    }
}

} // namespace
} // namespace controls_test
