// The program with the real engine beside it: an MP3 file on its command
// line is heard, decoded by VBMP3.dll (MCI cannot play MP3 files here).
#include "engine_test_support.h"
#include "common/program_runner.h"
#include "common/test_support.h"

#include <cmath>
#include <cstring>

namespace {

TEST(EngineProgramTest, Mp3OnTheCommandLineIsHeard)
{
    REQUIRE_SOUND_FILE();
    std::string exe = ProgramPath();
    ASSERT_TRUE(FileExists(exe));
    ASSERT_TRUE(FileExists(BuildFolder() + "\\VBMP3.dll"));
    TempDir folder;
    std::string track = folder / "tone.mp3";
    ASSERT_TRUE(CopyFileA(Fixture("mono22.mp3").c_str(), track.c_str(), FALSE));
    ClearSound();

    ProgramProcess program;
    EXPECT_TRUE(StartProgram(exe, track, folder.path(), program));
    // 22.05 kHz mono: 44,100 bytes a second. The one entry plays again and
    // again, and each round opens the sound device afresh, which starts
    // the file again: keep the first copy that holds 4 s.
    std::string pcm = WaitForSoundBytes(4 * 44100 + 4096);
    EXPECT_GE(pcm.size(), 4u * 44100 + 4096);
    EXPECT_EQ(CloseProgram(program), 0u);

    // From its first sample: nothing before the track's own sound.
    ASSERT_GE(pcm.size(), size_t(4 * 44100));
    std::string decoded = DecodeFile(Fixture("mono22.mp3"));
    EXPECT_TRUE(pcm.compare(0, 4 * 44100, decoded, 0, 4 * 44100) == 0) << "not the track's first 4 s";
    SoundSummary heard = SummarizeSound(pcm.substr(0, 4 * 44100), 22050, 1);
    EXPECT_NEAR(heard.frequency, 1000, 20);
    EXPECT_GT(heard.rms, 5000);
}

// The sound since the device was last opened, when it holds at least
// `seconds` of 22.05 kHz mono; empty otherwise.
std::string LatestSound(double seconds)
{
    std::string pcm = ReadBytes(SoundFilePath());
    return pcm.size() >= size_t(seconds * 44100) ? pcm.substr(0, size_t(seconds * 44100)) : std::string();
}

bool Hears(double frequency)
{
    std::string pcm = LatestSound(0.5);
    return !pcm.empty() && std::abs(SummarizeSound(pcm, 22050, 1).frequency - frequency) < frequency * 0.03;
}

// A file cut while it plays (from the Linux side, as a pulled drive or
// another program does it) ends its track, and the program plays on: it
// does not crash, the other entry is heard, and it closes cleanly.
TEST(EngineProgramTest, FileCutWhileItPlaysEndsItsTrackAndTheListPlaysOn)
{
    REQUIRE_SOUND_FILE();
    std::string exe = ProgramPath();
    ASSERT_TRUE(FileExists(BuildFolder() + "\\VBMP3.dll"));
    TempDir folder;
    // Two minutes of 440 Hz, and 4.5 s of 1,000 Hz; both 22.05 kHz mono.
    std::string cut = folder / "long.mp3";
    std::string other = folder / "other.mp3";
    ASSERT_TRUE(CopyFileA(Fixture("long.mp3").c_str(), cut.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Fixture("mono22.mp3").c_str(), other.c_str(), FALSE));
    std::string log = folder / "output.txt";
    ClearSound();

    ProgramProcess program;
    ASSERT_TRUE(StartProgramWithLog(exe, {cut, other}, folder.path(), log, program));
    // The next entry is picked at random: wait for the long one.
    EXPECT_TRUE(WaitUntil([] { return Hears(440); }, 60000)) << "the long track was not heard";
    ASSERT_TRUE(CutFile(cut, 20000)) << "could not cut " << cut;
    EXPECT_TRUE(WaitUntil([] { return Hears(1000); }, 60000)) << "the other entry was not heard after the cut";

    DWORD running = 0;
    EXPECT_TRUE(GetExitCodeProcess(program.process.hProcess, &running) && running == STILL_ACTIVE)
        << "the program ended";
    EXPECT_EQ(CloseProgram(program), 0u);
    std::string output = ReadBytes(log);
    EXPECT_EQ(output.find("Unhandled"), std::string::npos) << output;
    EXPECT_EQ(output.find("page fault"), std::string::npos) << output;
}

// With the engine beside the program, the About box says so with its "v".
TEST(EngineProgramTest, AboutBoxTellsThatTheEngineIsLoaded)
{
    std::string exe = ProgramPath();
    ASSERT_TRUE(FileExists(BuildFolder() + "\\VBMP3.dll"));
    TempDir folder;
    ProgramProcess program;
    EXPECT_TRUE(StartProgram(exe, "", folder.path(), program));
    AboutBox about = ReadAboutBox(program);
    EXPECT_EQ(about.title, "バージョン情報");
    EXPECT_EQ(about.text, "Tunewell Version 1.49v");
    EXPECT_EQ(CloseProgram(program), 0u);
}

} // namespace
