// PlayTrack against the platform's own MCI: real WAV files are heard in the
// sound output file, a play that runs to its end starts the next entry, a
// play that is cut short does not, and many starts leave nothing behind.
#include "common/test_support.h"

#include "playback/play_track.h"
#include "playback/transport.h"
#include "playlist/store.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int Rate = 44100;
const int Channels = 2;
const int BytesPerSecond = Rate * Channels * 2;

// Passes every command on to the platform and keeps the opens, so a test
// sees which entries were started without standing in for the device.
std::vector<std::string> *openLog = nullptr;
MciSender platformSender = nullptr;

MCIERROR LogOpensAndSend(const char *command, char *reply, UINT replyLength, HWND callback)
{
    if (std::string(command).compare(0, 5, "open ") == 0)
        openLog->push_back(command);
    return platformSender(command, reply, replyLength, callback);
}

// Notes every MM_MCINOTIFY code the main window receives before its own
// procedure handles it.
std::vector<WPARAM> *noticeLog = nullptr;
WNDPROC mainProcedure = nullptr;

LRESULT CALLBACK NoteNotices(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MM_MCINOTIFY)
        noticeLog->push_back(wParam);
    return CallWindowProcA(mainProcedure, window, message, wParam, lParam);
}

class PlayTrackSoundTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        REQUIRE_SOUND_FILE();
        StartTestPlayer(folder.path());
        ClearSound();
        openLog = &opens;
        platformSender = mciSender;
        mciSender = LogOpensAndSend;
        noticeLog = &notices;
        mainProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(player.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteNotices)));
    }

    void TearDown() override
    {
        PlayerTest::TearDown();
        if (platformSender)
            mciSender = platformSender;
        platformSender = nullptr;
        openLog = nullptr;
        noticeLog = nullptr;
    }

    std::string Sound() { return ReadBytes(SoundFilePath()); }

    // Whether the `opens`-th start has been heard for at least `bytes`;
    // the sound is then in `pcm`. Each start begins the output file anew,
    // and starts happen only on this thread, between the checks.
    bool HeardOf(size_t starts, size_t bytes, std::string &pcm)
    {
        if (opens.size() != starts)
            return false;
        std::string heard = FromFirstSound(Sound(), Channels);
        if (heard.size() < bytes)
            return false;
        pcm = heard.substr(0, bytes);
        return true;
    }

    bool Noticed(WPARAM code)
    {
        for (WPARAM notice : notices)
            if (notice == code)
                return true;
        return false;
    }

    TempDir folder;
    std::vector<std::string> opens;
    std::vector<WPARAM> notices;
};

TEST_F(PlayTrackSoundTest, WavIsHeardAtItsFrequency)
{
    std::string tone = folder / "tone.wav";
    WriteToneWav(tone, 2.0, 440, Rate, Channels);
    AddEntry(tone.c_str());

    PlayTrack(0);
    EXPECT_EQ(opens, std::vector<std::string>{MciOpenCommand(tone)});
    EXPECT_EQ(player.trackOpen, 1);
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(player.backEnd, Mci);
    EXPECT_EQ(player.totalSeconds, 2u);
    EXPECT_EQ(player.title, "tone.wav");
    EXPECT_EQ(SendMessageA(player.trackBar, TBM_GETRANGEMAX, 0, 0), 2);
    EXPECT_TRUE(IsWindowEnabled(player.trackBar));

    std::string pcm;
    ASSERT_TRUE(WaitUntil([&] { return HeardOf(1, BytesPerSecond / 2, pcm); }));
    SoundSummary heard = SummarizeSound(pcm, Rate, Channels);
    EXPECT_NEAR(heard.frequency, 440, 10);
    EXPECT_GT(heard.rms, 8000);
}

TEST_F(PlayTrackSoundTest, NaturalEndStartsTheNextEntry)
{
    std::string low = folder / "low.wav";
    std::string high = folder / "high.wav";
    WriteToneWav(low, 1.5, 440, Rate, Channels);
    WriteToneWav(high, 1.5, 880, Rate, Channels);
    player.playlist = {low, high};

    // A seed whose advance from entry 0 lands on entry 1.
    unsigned seed = 1;
    for (;; ++seed) {
        std::srand(seed);
        int next = std::rand() % 2;
        if (next == 0)
            next = std::rand() % 2;
        if (next == 1)
            break;
    }

    PlayTrack(0);
    std::srand(seed);
    std::string pcm;
    ASSERT_TRUE(WaitUntil([&] { return HeardOf(1, BytesPerSecond / 2, pcm); }));
    EXPECT_NEAR(SummarizeSound(pcm, Rate, Channels).frequency, 440, 10);
    EXPECT_TRUE(notices.empty());

    // The first play runs out; its notice starts the second entry.
    ASSERT_TRUE(WaitUntil([&] { return HeardOf(2, BytesPerSecond / 2, pcm); }));
    EXPECT_EQ(opens[1], MciOpenCommand(high));
    EXPECT_EQ(notices, std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    EXPECT_EQ(player.currentIndex, 1u);
    EXPECT_EQ(player.title, "high.wav");
    EXPECT_NEAR(SummarizeSound(pcm, Rate, Channels).frequency, 880, 20);
}

// A pause and a resume keep the play that started the track: no notice
// comes between them, the same tone goes on, and the natural end that
// follows still announces itself and starts the entry again (repeat).
TEST_F(PlayTrackSoundTest, ResumeGoesOnWithTheSameTrackUntilItsEnd)
{
    std::string low = folder / "low.wav";
    std::string high = folder / "high.wav";
    WriteToneWav(low, 6.0, 440, Rate, Channels);
    WriteToneWav(high, 6.0, 880, Rate, Channels);
    player.playlist = {low, high};
    player.repeatMode = 1;

    PlayTrack(0);
    std::string pcm;
    ASSERT_TRUE(WaitUntil([&] { return HeardOf(1, BytesPerSecond / 4, pcm); }));
    PauseTrack();
    size_t atPause = Sound().size();
    ResumeTrack();
    ASSERT_TRUE(WaitUntil([&] { return Sound().size() >= atPause + BytesPerSecond / 2 || opens.size() > 1; }));
    EXPECT_EQ(opens.size(), 1u) << "the resume started another track";
    EXPECT_TRUE(notices.empty()) << "a notice came with the resume";
    EXPECT_EQ(player.playing, 1);
    std::string sound = Sound();
    size_t tail = BytesPerSecond / 4;
    ASSERT_GE(sound.size(), tail);
    EXPECT_NEAR(SummarizeSound(sound.substr((sound.size() - tail) & ~size_t(3)), Rate, Channels).frequency, 440,
                10);

    ASSERT_TRUE(WaitUntil([&] { return opens.size() >= 2; })) << "the end after the resume was not announced";
    EXPECT_EQ(opens[1], MciOpenCommand(low));
    EXPECT_EQ(notices, std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
}

TEST_F(PlayTrackSoundTest, PlayCutShortByANewOpenDoesNotAdvance)
{
    std::string first = folder / "first.wav";
    std::string second = folder / "second.wav";
    WriteToneWav(first, 5.0, 440, Rate, Channels);
    WriteToneWav(second, 5.0, 660, Rate, Channels);
    player.playlist = {first, second};

    PlayTrack(0);
    ASSERT_TRUE(WaitUntil([&] { return !Sound().empty(); }));
    PlayTrack(1);
    // The first play reports that it was cut short.
    ASSERT_TRUE(WaitUntil([&] { return !notices.empty(); }));
    EXPECT_NE(notices[0], static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(opens, (std::vector<std::string>{MciOpenCommand(first), MciOpenCommand(second)}));
    EXPECT_EQ(player.currentIndex, 1u);
    EXPECT_EQ(player.playing, 1);
    // What follows is the entry that was asked for.
    std::string pcm;
    ASSERT_TRUE(WaitUntil([&] { return HeardOf(2, BytesPerSecond / 4, pcm); }));
    EXPECT_NEAR(SummarizeSound(pcm, Rate, Channels).frequency, 660, 15);
}

TEST_F(PlayTrackSoundTest, PlayCutShortByACloseDoesNotAdvance)
{
    std::string tone = folder / "tone.wav";
    std::string other = folder / "other.wav";
    WriteToneWav(tone, 5.0, 440, Rate, Channels);
    WriteToneWav(other, 5.0, 660, Rate, Channels);
    player.playlist = {tone, other};

    PlayTrack(0);
    ASSERT_TRUE(WaitUntil([&] { return !Sound().empty(); }));
    // What the remove command and the window's destruction send.
    SendMci("close music");
    ASSERT_TRUE(WaitUntil([&] { return !notices.empty(); }));
    EXPECT_NE(notices[0], static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(opens, std::vector<std::string>{MciOpenCommand(tone)});
    EXPECT_EQ(player.currentIndex, 0u);
    player.trackOpen = player.playing = 0;
}

// The value the next kernel or GDI handle gets: it grows only when handles
// are left open.
uintptr_t NextEventHandle()
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(event);
    return reinterpret_cast<uintptr_t>(event);
}

uintptr_t NextBrushIndex()
{
    HBRUSH brush = CreateSolidBrush(0x00123456);
    DeleteObject(brush);
    return reinterpret_cast<uintptr_t>(brush) & 0xFFFF;
}

TEST_F(PlayTrackSoundTest, AThousandStartsLeakNoHandles)
{
    const int Files = 4;
    for (int i = 0; i < Files; ++i) {
        std::string path = folder / ("short" + std::to_string(i) + ".wav");
        WriteToneWav(path, 0.05, 300 + 100 * i, 22050, 1);
        AddEntry(path.c_str());
    }
    player.repeatMode = 1;
    auto startMany = [&](int starts) {
        for (int i = 0; i < starts; ++i) {
            PlayTrack(i % Files);
            PumpMessages();
        }
    };

    // The first starts load the drivers and their threads for good.
    startMany(20);
    uintptr_t eventBefore = NextEventHandle();
    uintptr_t brushBefore = NextBrushIndex();
    opens.clear();

    startMany(1000);
    uintptr_t eventAfter = NextEventHandle();
    uintptr_t brushAfter = NextBrushIndex();

    EXPECT_GE(opens.size(), 1000u);
    // Every open worked: no entry was dropped.
    EXPECT_EQ(PlaylistCount(), Files);
    EXPECT_EQ(player.trackOpen, 1);
    // A leak of one handle per start would move them by about 1,000 slots.
    // Painting the face and its controls on every start holds a few GDI
    // objects at a time, so the next free slot wanders by some dozens.
    EXPECT_LT(eventAfter, eventBefore + 4 * 32) << std::hex << eventBefore << " -> " << eventAfter;
    EXPECT_LT(brushAfter, brushBefore + 200) << std::hex << brushBefore << " -> " << brushAfter;
}

} // namespace
