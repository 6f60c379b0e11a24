// A folder of today's formats, started with no arguments: FLAC, Ogg Vorbis
// and Opus play through the engine, M4A through the platform's media
// services, and each is heard as its own tone. Without the engine, a FLAC
// file goes to the media services.
#include "program/program_support.h"

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

struct Kind {
    const char *fixture;
    int seconds;      // what the slider's range shows for it
    double frequency;
    int sampleRate;   // of the 16-bit sound the engine plays; 0 for the media services' float
};

const std::vector<Kind> kinds = {
    {"tone440.flac", 300, 440, 11025},
    {"tone660.ogg", 310, 660, 11025},
    {"tone880.opus", 320, 880, 48000},
    {"tone1100.m4a", 330, 1100, 0},
};

// Which of the kinds is heard and shown now; -1 when none.
int KindHeard(const ProgramProcess &program)
{
    int range = SliderRange(program);
    for (size_t i = 0; i < kinds.size(); ++i) {
        const Kind &kind = kinds[i];
        if (range != kind.seconds)
            continue;
        if (kind.sampleRate) {
            SoundSummary heard = LatestSound(0.25, kind.sampleRate, 1);
            if (heard.rms > 3000 && std::abs(heard.frequency - kind.frequency) < kind.frequency * 0.03)
                return int(i);
        } else {
            FloatSoundSummary heard = SummarizeFloatSound(ReadBytes(SoundFilePath()));
            if (heard.soundSeconds >= 0.25 && std::abs(heard.frequency - kind.frequency) < kind.frequency * 0.03)
                return int(i);
        }
    }
    return -1;
}

TEST(TodaysFormatsTest, AFolderOfThemStartedWithoutArgumentsPlaysThemAll)
{
    REQUIRE_SOUND_FILE();
    TempDir folder;
    for (const Kind &kind : kinds)
        ASSERT_TRUE(CopyFileA(ProgramFixture(kind.fixture).c_str(), (folder / kind.fixture).c_str(), FALSE))
            << "missing " << ProgramFixture(kind.fixture);
    ClearSound();

    ProgramProcess program;
    ASSERT_TRUE(StartProgram(ProgramPath(), "", folder.path(), program));
    HWND playButton = FindWindowExA(program.window, nullptr, "PlayWindow", nullptr);
    ASSERT_NE(playButton, nullptr);

    // The next track comes at random: skipped until each has been heard.
    std::set<int> heard;
    for (int round = 0; round < 40 && heard.size() < kinds.size(); ++round) {
        int kind = -1;
        ASSERT_TRUE(WaitUntil([&] { return (kind = KindHeard(program)) >= 0; }, 30000))
            << "none of the tracks is heard; the slider shows " << SliderRange(program) << " s";
        heard.insert(kind);
        PostMessageA(playButton, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        // Another track shows and sounds other; the same one picked again
        // does not, and is let be after a while.
        WaitUntil([&] { return KindHeard(program) != kind; }, 5000);
    }
    EXPECT_EQ(heard.size(), kinds.size()) << "not every kind was played";
    EXPECT_EQ(CloseProgram(program), 0u);
}

} // namespace
