// The real program with a folder of three WAV tracks of distinct tones and
// lengths: pausing and resuming (by the button and by the play/pause key),
// a seek while playing, and a stop followed by play all go on with the
// track that was playing, heard at its own tone.
#include "program/program_support.h"

#include <commctrl.h>

#include <string>

namespace {

// Mono 11,025 Hz, 16-bit: far longer than the test takes even on the null
// device, which plays several times faster than real time.
const int Rate = 11025;
const size_t BytesPerSecond = 2 * Rate;

struct Track {
    const char *name;
    int seconds; // what the slider's range shows for it
    double frequency;
};
const Track Tracks[] = {{"low.wav", 300, 440}, {"middle.wav", 310, 660}, {"high.wav", 320, 880}};

class ResumeProgramTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_SOUND_FILE();
        for (const Track &track : Tracks)
            WriteToneWav(folder / track.name, track.seconds, track.frequency, Rate, 1);
        ClearSound();
        // Started without arguments, the player plays its folder's music.
        ASSERT_TRUE(StartProgram(ProgramPath(), "", folder.path(), program));
        slider = FindWindowExA(program.window, nullptr, TRACKBAR_CLASSA, nullptr);
        ASSERT_NE(slider, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return SliderRange() > 0; })) << "nothing plays";
        for (const Track &track : Tracks)
            if (SliderRange() == track.seconds)
                playing = &track;
        ASSERT_NE(playing, nullptr) << "the slider shows " << SliderRange() << " s";
        ASSERT_TRUE(SoundGrows());
        ExpectSameTrack("at the start");
    }

    void TearDown() override
    {
        if (program.process.hProcess) {
            EXPECT_EQ(CloseProgram(program), 0u);
        }
    }

    int SliderRange() const { return ::SliderRange(program); }

    size_t SoundSize() const { return ReadBytes(SoundFilePath()).size(); }

    // Waits (bounded) until the sound has grown by half a second since the
    // call, or started afresh (a new play opens the device anew).
    bool SoundGrows()
    {
        size_t before = SoundSize();
        return WaitUntil([&] {
            size_t now = SoundSize();
            return now >= before + BytesPerSecond / 2 || (now < before && now >= BytesPerSecond / 2);
        });
    }

    // Waits (bounded) until the slider is disabled (the player is not
    // playing) and the sound has kept its size for a fifth of a second.
    bool SoundRests()
    {
        if (!WaitUntil([&] { return !IsWindowEnabled(slider); }, 10000))
            return false;
        size_t last = SoundSize();
        DWORD since = GetTickCount();
        return WaitUntil([&] {
            size_t now = SoundSize();
            if (now != last) {
                last = now;
                since = GetTickCount();
                return false;
            }
            return GetTickCount() - since >= 200;
        });
    }

    // The slider shows the same track's length, and the latest quarter
    // second of sound is its tone.
    void ExpectSameTrack(const std::string &after)
    {
        EXPECT_EQ(SliderRange(), playing->seconds) << "another track after " << after;
        SoundSummary heard = LatestSound(0.25, Rate, 1);
        ASSERT_GT(heard.seconds, 0) << after;
        EXPECT_NEAR(heard.frequency, playing->frequency, 20) << "another tone after " << after;
        EXPECT_GT(heard.rms, 3000) << after;
    }

    void Click(const char *buttonClass)
    {
        HWND button = FindWindowExA(program.window, nullptr, buttonClass, nullptr);
        ASSERT_NE(button, nullptr) << buttonClass;
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }

    void PressPlayPauseKey()
    {
        PostMessageA(program.window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(program.window),
                     MAKELPARAM(0, APPCOMMAND_MEDIA_PLAY_PAUSE));
    }

    TempDir folder;
    ProgramProcess program;
    HWND slider = nullptr;
    const Track *playing = nullptr;
};

TEST_F(ResumeProgramTest, TheSameTrackGoesOnAfterPausesSeeksAndStops)
{
    for (int round = 0; round < 6; ++round) {
        bool byKey = round >= 3;
        std::string what = std::string(byKey ? "the key" : "the button") + ", round " + std::to_string(round);
        if (byKey)
            PressPlayPauseKey();
        else
            Click("PauseWindow");
        ASSERT_TRUE(SoundRests()) << "no pause by " << what;
        if (byKey)
            PressPlayPauseKey();
        else
            Click("PauseWindow");
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(slider) != FALSE; }, 10000)) << "no resume by " << what;
        ASSERT_TRUE(SoundGrows()) << "silent after the resume by " << what;
        ExpectSameTrack("a pause and resume by " + what);
    }

    // A seek while playing: the slider moved as a user moves it. A tick of
    // the player's timer between the two messages would put the thumb back
    // first, so the move is made again until the track plays on past it.
    bool sought = false;
    for (int attempt = 0; attempt < 3 && !sought; ++attempt) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(slider, TBM_SETPOS, TRUE, 100, SMTO_ABORTIFHUNG, 5000, &result);
        SendMessageTimeoutA(program.window, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 100),
                            reinterpret_cast<LPARAM>(slider), SMTO_ABORTIFHUNG, 5000, &result);
        sought = WaitUntil([&] { return SendMessageA(slider, TBM_GETPOS, 0, 0) > 100; }, 5000);
    }
    ASSERT_TRUE(sought) << "the seek did not land";
    ASSERT_TRUE(SoundGrows());
    ExpectSameTrack("a seek");

    Click("StopWindow");
    ASSERT_TRUE(SoundRests()) << "no stop";
    Click("PlayWindow");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(slider) != FALSE; }, 10000)) << "no play after the stop";
    ASSERT_TRUE(SoundGrows());
    EXPECT_LT(SendMessageA(slider, TBM_GETPOS, 0, 0), 100) << "the play after the stop did not start afresh";
    ExpectSameTrack("a stop and play");
}

} // namespace
