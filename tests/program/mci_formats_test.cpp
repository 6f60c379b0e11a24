// WMA files, MP3 and FLAC files when the engine is not beside the program,
// and what the engine refuses are played by the platform's media services
// through MCI: they are heard, and the end of a WMA track moves on to the
// next entry.
#include "program/program_support.h"

#include <vector>

namespace {

struct HeardCase {
    const char *fixture;
    double frequency;
};

const HeardCase heardCases[] = {
    {"tone440.wma", 440},
    {"tone660.mp3", 660}, // no VBMP3.dll beside this copy of the program
    {"tone990.flac", 990}, // the same
};

TEST(MciFormatsTest, TrackOnTheCommandLineIsHeard)
{
    std::string sound = SoundFilePath();
    REQUIRE_SOUND_FILE();
    for (const HeardCase &c : heardCases) {
        SCOPED_TRACE(c.fixture);
        TempDir folder;
        std::string exe = CopyProgramInto(folder.path());
        ASSERT_FALSE(FileExists(folder / "VBMP3.dll"));
        std::string track = folder / c.fixture;
        ASSERT_TRUE(CopyFileA(ProgramFixture(c.fixture).c_str(), track.c_str(), FALSE))
            << "missing " << ProgramFixture(c.fixture);
        ClearSound();

        ProgramProcess program;
        EXPECT_TRUE(StartProgram(exe, "\"" + track + "\"", folder.path(), program));
        // Half a second of tone, in whatever pieces the device took it.
        FloatSoundSummary heard = {};
        EXPECT_TRUE(WaitUntil(
            [&] {
                heard = SummarizeFloatSound(ReadBytes(sound));
                return heard.soundSeconds >= 0.5;
            },
            30000));
        std::string output = ReadBytes(sound);
        EXPECT_EQ(CloseProgram(program), 0u);

        heard = SummarizeFloatSound(output);
        EXPECT_GE(heard.soundSeconds, 0.5);
        EXPECT_NEAR(heard.frequency, c.frequency, 10);
        // The tone's amplitude is 0.5.
        EXPECT_NEAR(heard.rms, 0.354, 0.1);
    }
}

// An MPEG Layer II stream named .mp3: the engine beside the program
// refuses it, and the platform's media services play it instead.
TEST(MciFormatsTest, WhatTheEngineRefusesIsHeardThroughMci)
{
    std::string sound = SoundFilePath();
    REQUIRE_SOUND_FILE();
    ASSERT_TRUE(FileExists(BuildFolder() + "\\VBMP3.dll"));
    TempDir folder;
    std::string track = folder / "broadcast.mp3";
    ASSERT_TRUE(CopyFileA(ProgramFixture("layer2.mp3").c_str(), track.c_str(), FALSE))
        << "missing " << ProgramFixture("layer2.mp3");
    ClearSound();

    ProgramProcess program;
    EXPECT_TRUE(StartProgram(ProgramPath(), "\"" + track + "\"", folder.path(), program));
    FloatSoundSummary heard = {};
    EXPECT_TRUE(WaitUntil(
        [&] {
            heard = SummarizeFloatSound(ReadBytes(sound));
            return heard.soundSeconds >= 0.5;
        },
        30000));
    EXPECT_EQ(SliderRange(program), 20) << "the track was not kept";
    EXPECT_EQ(CloseProgram(program), 0u);
    EXPECT_NEAR(heard.frequency, 770, 10);
    EXPECT_NEAR(heard.rms, 0.354, 0.1);
}

TEST(MciFormatsTest, EndOfWmaTrackStartsTheNextEntry)
{
    TempDir folder;
    std::string exe = CopyProgramInto(folder.path());
    std::string shortTrack = folder / "short.wma";
    ASSERT_TRUE(CopyFileA(ProgramFixture("short550.wma").c_str(), shortTrack.c_str(), FALSE));
    std::string longTrack = folder / "long.wav";
    WriteToneWav(longTrack, 9.0, 880);

    ProgramProcess program;
    // Several paths on the command line go unquoted (the temporary folder
    // has no blank in its name).
    ASSERT_EQ(folder.path().find(' '), std::string::npos);
    EXPECT_TRUE(StartProgram(exe, shortTrack + " " + longTrack, folder.path(), program));
    // The slider's range is the open track's length: 2 s for the WMA
    // track, 9 s for the WAV one. With two entries the next one is always
    // the other, whichever came first.
    std::vector<int> ranges;
    bool movedOn = WaitUntil(
        [&] {
            int range = SliderRange(program);
            if (range > 0 && (ranges.empty() || ranges.back() != range))
                ranges.push_back(range);
            for (size_t i = 1; i < ranges.size(); ++i)
                if (ranges[i - 1] == 2 && ranges[i] == 9)
                    return true;
            return false;
        },
        30000);
    EXPECT_TRUE(movedOn) << "ranges seen: " << ::testing::PrintToString(ranges);
    EXPECT_EQ(CloseProgram(program), 0u);
}

} // namespace
