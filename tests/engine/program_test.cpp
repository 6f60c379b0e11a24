// The program with the real engine beside it: an MP3 file on its command
// line is heard, decoded by VBMP3.dll (MCI cannot play MP3 files here).
#include "engine_test_support.h"
#include "common/program_runner.h"
#include "common/test_support.h"

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

    std::string heardPcm = FromFirstSound(pcm, 1);
    ASSERT_GE(heardPcm.size(), 4u * 44100);
    SoundSummary heard = SummarizeSound(heardPcm.substr(0, 4 * 44100), 22050, 1);
    EXPECT_NEAR(heard.frequency, 1000, 20);
    EXPECT_GT(heard.rms, 5000);
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
