// The position poll and the slider's seeks, as recorded sequences of MCI
// commands and engine calls.
#include "face_helpers.h"

#include "playback/play_track.h"
#include "ui/main_window.h"
#include "ui/face.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class MainWindowTimerTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        window = StartTestPlayer(folder.path());
        EnableWindow(player.trackBar, TRUE);
        SendMessageA(player.trackBar, TBM_SETRANGEMAX, TRUE, 10000);
    }
    void Tick() { SendMessageA(window, WM_TIMER, PollTimerId, 0); }
    int Thumb() { return static_cast<int>(SendMessageA(player.trackBar, TBM_GETPOS, 0, 0)); }
    TempDir folder;
    HWND window = nullptr;
};

TEST_F(MainWindowTimerTest, ReadsTheMciPositionAsDecimalMilliseconds)
{
    struct Case {
        const char *reply;
        int thumb;
        uint32_t elapsed;
    };
    const Case cases[] = {
        {"65000", 65, 65},
        {"65999", 65, 65},
        {"  4200", 4, 4},
        {"+7000", 7, 7},
        {"12abc", 0, 0},
        {"3000 ms", 3, 3},
        {"", 0, 0},
        {"abc", 0, 0},
        {"5999999", 5999, 5999},
        {"6000000", 6000, 5999}, // the display stops at 99:59, the thumb does not
        {"7200000", 7200, 5999},
        {"-3000", 0, 5999},      // -3 read unsigned is far past 99:59
    };
    SetTransportFlags(Transport::Playing, Mci);
    for (const Case &c : cases) {
        MciRecorder mci;
        mci.Answer("status music position wait", 0, c.reply);
        Tick();
        ASSERT_EQ(mci.calls.size(), 1u) << c.reply;
        EXPECT_EQ(mci.calls[0].command, "status music position wait");
        EXPECT_EQ(mci.calls[0].replyLength, 16u);
        EXPECT_EQ(mci.calls[0].callback, nullptr);
        EXPECT_EQ(Thumb(), c.thumb) << c.reply;
        EXPECT_EQ(player.elapsedSeconds, c.elapsed) << c.reply;
    }
}

TEST_F(MainWindowTimerTest, AFailedQueryReadsAsZero)
{
    SetTransportFlags(Transport::Playing, Mci);
    player.elapsedSeconds = 30;
    MciRecorder mci;
    mci.Answer("status music position wait", 263 /* MCIERR_INVALID_DEVICE_NAME */, "");
    Tick();
    EXPECT_EQ(player.elapsedSeconds, 0u);
    EXPECT_EQ(Thumb(), 0);
}

TEST_F(MainWindowTimerTest, DoesNothingUnlessPlaying)
{
    FakeEngine engine;
    engine.position = 50;
    for (BackEnd backEnd : {Mci, Mp3Engine}) {
        for (Transport state : {Transport::Idle, Transport::Paused, Transport::Stopped}) {
            SetTransportFlags(state, backEnd);
            player.elapsedSeconds = 12;
            SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 12);
            MciRecorder mci;
            engine.calls.clear();
            mci.Answer("status music position wait", 0, "50000");
            Tick();
            EXPECT_TRUE(mci.calls.empty());
            EXPECT_TRUE(engine.calls.empty());
            EXPECT_EQ(player.elapsedSeconds, 12u);
            EXPECT_EQ(Thumb(), 12);
        }
    }
}

TEST_F(MainWindowTimerTest, ReadsTheEnginePositionWhileItPlays)
{
    FakeEngine engine;
    SetTransportFlags(Transport::Playing, Mp3Engine);
    MciRecorder mci;
    const int positions[] = {0, 42, 6000, 9000};
    for (int position : positions) {
        engine.calls.clear();
        engine.position = position;
        Tick();
        EXPECT_EQ(engine.calls, std::vector<std::string>{"getState"}) << position;
        EXPECT_EQ(Thumb(), position);
        EXPECT_EQ(player.elapsedSeconds, position >= 6000 ? 5999u : static_cast<uint32_t>(position));
    }
    EXPECT_TRUE(mci.calls.empty());
}

// The engine's state turning from playing to anything else ends the track:
// the tick moves nothing and advances to the next entry instead.
TEST_F(MainWindowTimerTest, AnEngineStateOtherThanPlayingAdvances)
{
    FakeEngine engine;
    player.playlist = {"C:\\music\\only.mp3"};
    player.currentIndex = 0;
    SetTransportFlags(Transport::Playing, Mp3Engine);
    engine.position = 30;
    Tick();
    EXPECT_EQ(player.elapsedSeconds, 30u);

    for (int state : {0, 2, -1}) {
        SetTransportFlags(Transport::Playing, Mp3Engine);
        engine.state = 1;
        engine.position = 30;
        Tick();
        engine.calls.clear();
        engine.state = state;
        engine.position = 77;
        Tick();
        ASSERT_FALSE(engine.calls.empty());
        EXPECT_EQ(engine.calls[0], "getState");
        EXPECT_NE(Thumb(), 77) << state;
        // The one entry is opened and played again.
        std::vector<std::string> after(engine.calls.begin() + 1, engine.calls.end());
        EXPECT_NE(std::find(after.begin(), after.end(), "open C:\\music\\only.mp3"), after.end()) << state;
    }
}

// The timer repaints the time text at once, and nothing else.
TEST_F(MainWindowTimerTest, RepaintsOnlyTheTime)
{
    SetTransportFlags(Transport::Playing, Mci);
    MciRecorder mci;
    mci.Answer("status music position wait", 0, "65000");
    player.totalSeconds = 200;
    RepaintFace();
    HDC screen = GetDC(window);
    // Marks on the screen, one inside timeRect but clear of the text, one
    // outside it.
    SetPixel(screen, 130, 80, RGB(0, 0, 0));
    SetPixel(screen, 5, 60, RGB(0, 0, 0));
    ASSERT_EQ(GetPixel(screen, 130, 80), RGB(0, 0, 0));
    Tick();
    EXPECT_EQ(GetPixel(screen, 130, 80), BackgroundColour);
    EXPECT_EQ(GetPixel(screen, 5, 60), RGB(0, 0, 0));
    // What the tick put on the screen is what a whole repaint shows there,
    // to the last pixel of the text (the face sits one pixel inside the
    // bevel).
    RECT shown = player.timeRect;
    OffsetRect(&shown, 1, 1);
    InflateRect(&shown, 1, 1);
    auto pixels = [&] {
        std::vector<COLORREF> out;
        for (int y = shown.top; y < shown.bottom; ++y)
            for (int x = shown.left; x < shown.right; ++x)
                out.push_back(GetPixel(screen, x, y));
        return out;
    };
    std::vector<COLORREF> afterTick = pixels();
    RepaintFace();
    EXPECT_TRUE(afterTick == pixels()) << "the tick painted the time other than a whole repaint";
    ReleaseDC(window, screen);

    FaceCanvas canvas;
    PaintFace(canvas.dc());
    EXPECT_EQ(canvas.Mask(TimeColour), ExpectedTimeMask("01:05/03:20"));
}

// Counts the TBM_SETPOS messages that reach the slider.
class SetPosCounter {
  public:
    explicit SetPosCounter(HWND slider) : slider_(slider)
    {
        count = 0;
        old_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(slider, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SetPosCounter::Procedure)));
    }
    ~SetPosCounter() { SetWindowLongPtrA(slider_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_)); }
    SetPosCounter(const SetPosCounter &) = delete;
    SetPosCounter &operator=(const SetPosCounter &) = delete;
    static int count;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == TBM_SETPOS)
            ++count;
        return CallWindowProcA(old_, window, message, wParam, lParam);
    }
    HWND slider_;
    static WNDPROC old_;
};
int SetPosCounter::count = 0;
WNDPROC SetPosCounter::old_ = nullptr;

// The position changes once a second and the timer ticks every 300 ms: a
// tick moves the thumb and repaints the time text only when they change.
TEST_F(MainWindowTimerTest, MovesAndRepaintsOnlyWhatChanged)
{
    struct Case {
        const char *reply;
        int thumbMovedTo; // where the user left the thumb before the tick; -1 not moved
        bool movesThumb;
        bool repaints;
        uint32_t elapsed;
    };
    const Case cases[] = {
        {"65000", -1, true, true, 65},
        {"65300", -1, false, false, 65},
        {"65600", 30, true, false, 65}, // a thumb moved away is put back
        {"66000", -1, true, true, 66},
        {"7200000", -1, true, true, 5999},
        {"7300000", -1, true, false, 5999}, // the thumb goes on, the display stays at 99:59
        {"7300999", -1, false, false, 5999},
        {"0", -1, true, true, 0},
    };
    SetTransportFlags(Transport::Playing, Mci);
    player.totalSeconds = 200;
    RepaintFace();
    HDC screen = GetDC(window);
    for (const Case &c : cases) {
        MciRecorder mci;
        mci.Answer("status music position wait", 0, c.reply);
        if (c.thumbMovedTo >= 0)
            SendMessageA(player.trackBar, TBM_SETPOS, TRUE, c.thumbMovedTo);
        // A mark inside timeRect but clear of the text: a repaint wipes it.
        SetPixel(screen, 130, 80, RGB(0, 0, 0));
        ASSERT_EQ(GetPixel(screen, 130, 80), RGB(0, 0, 0));
        SetPosCounter counter(player.trackBar);
        Tick();
        EXPECT_EQ(SetPosCounter::count, c.movesThumb ? 1 : 0) << c.reply;
        EXPECT_EQ(Thumb(), static_cast<int>(std::strtol(c.reply, nullptr, 10) / 1000)) << c.reply;
        EXPECT_EQ(player.elapsedSeconds, c.elapsed) << c.reply;
        EXPECT_EQ(GetPixel(screen, 130, 80), c.repaints ? BackgroundColour : RGB(0, 0, 0)) << c.reply;
    }
    ReleaseDC(window, screen);
    FaceCanvas canvas;
    PaintFace(canvas.dc());
    EXPECT_EQ(canvas.Mask(TimeColour), ExpectedTimeMask("00:00/03:20"));
}

class MainWindowSeekTest : public MainWindowTimerTest {
  protected:
    void Scroll(int code = TB_THUMBTRACK)
    {
        SendMessageA(window, WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(player.trackBar));
    }
};

TEST_F(MainWindowSeekTest, SeeksAndPlaysAgainOnMci)
{
    SetTransportFlags(Transport::Playing, Mci);
    MciRecorder mci;
    // Every notification alike, whatever its code.
    for (int code : {TB_THUMBTRACK, TB_THUMBPOSITION, TB_LINEDOWN, TB_PAGEUP, TB_ENDTRACK}) {
        mci.Clear();
        SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 42 + code);
        Scroll(code);
        std::vector<std::string> expected = {"seek music to " + std::to_string((42 + code) * 1000),
                                             "play music notify"};
        EXPECT_EQ(mci.Commands(), expected) << code;
        ASSERT_EQ(mci.calls.size(), 2u);
        EXPECT_EQ(mci.calls[0].callback, nullptr);
        EXPECT_EQ(mci.calls[1].callback, window);
    }
}

TEST_F(MainWindowSeekTest, SeeksTheEngineInSeconds)
{
    FakeEngine engine;
    SetTransportFlags(Transport::Playing, Mp3Engine);
    MciRecorder mci;
    engine.calls.clear();
    SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 95);
    Scroll();
    EXPECT_EQ(engine.calls, std::vector<std::string>{"seek 95"});
    EXPECT_TRUE(mci.calls.empty());
}

TEST_F(MainWindowSeekTest, MovingTheSliderWhilePausedOrStoppedChangesNothing)
{
    FakeEngine engine;
    for (BackEnd backEnd : {Mci, Mp3Engine}) {
        for (Transport state : {Transport::Idle, Transport::Paused, Transport::Stopped}) {
            SetTransportFlags(state, backEnd);
            MciRecorder mci;
            engine.calls.clear();
            SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 60);
            Scroll();
            EXPECT_TRUE(mci.calls.empty());
            EXPECT_TRUE(engine.calls.empty());
        }
    }
    // Once play resumes, the next tick puts the thumb back.
    SetTransportFlags(Transport::Playing, Mci);
    MciRecorder mci;
    mci.Answer("status music position wait", 0, "12000");
    Tick();
    EXPECT_EQ(Thumb(), 12);
}

// The real slider, moved from the keyboard, notifies the window, which
// follows with a seek for each notification.
TEST_F(MainWindowSeekTest, KeyboardOnTheSliderSeeks)
{
    SetTransportFlags(Transport::Playing, Mci);
    SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 20);
    MciRecorder mci;
    SendMessageA(player.trackBar, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(player.trackBar, WM_KEYUP, VK_RIGHT, 0);
    std::vector<std::string> commands = mci.Commands();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[0], "seek music to 21000");
    EXPECT_EQ(commands[1], "play music notify");
    for (size_t i = 0; i < commands.size(); i += 2) {
        EXPECT_EQ(commands[i], "seek music to 21000");
        EXPECT_EQ(commands[i + 1], "play music notify");
    }
}

// With the platform's own MCI: a real WAV track moves the thumb and the
// time as it plays, and the slider seeks within it.
TEST_F(MainWindowSeekTest, FollowsAndSeeksARealMciTrack)
{
    std::string wav = folder / "tone.wav";
    WriteToneWav(wav, 30, 440);
    ASSERT_EQ(SendMci(("open \"" + wav + "\" type waveaudio alias music").c_str()), 0u);
    SendMci("set music time format milliseconds");
    ASSERT_EQ(SendMci("play music"), 0u);
    SetTransportFlags(Transport::Playing, Mci);

    ASSERT_TRUE(WaitUntil([&] {
        Tick();
        return player.elapsedSeconds >= 2;
    }));
    EXPECT_LT(player.elapsedSeconds, 30u);
    EXPECT_EQ(Thumb(), static_cast<int>(player.elapsedSeconds));

    SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 25);
    Scroll(TB_THUMBPOSITION);
    Tick();
    EXPECT_GE(player.elapsedSeconds, 25u);
    EXPECT_LE(player.elapsedSeconds, 30u);
    char mode[32] = "";
    SendMci("status music mode", mode, sizeof mode);
    EXPECT_STREQ(mode, "playing");
    SendMci("close music");
    player.playing = 0;
    player.trackOpen = 0;
}

} // namespace
