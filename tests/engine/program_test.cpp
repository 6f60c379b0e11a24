// The program with the real engine beside it: an MP3 file on its command
// line is heard, decoded by VBMP3.dll (MCI cannot play MP3 files here).
#include "engine_test_support.h"
#include "common/test_support.h"

#include <cstring>

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM data)
{
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0) {
        char text[128] = "";
        GetWindowTextA(child, text, sizeof text);
        *reinterpret_cast<std::string *>(data) += text;
    }
    return TRUE;
}

TEST(EngineProgramTest, Mp3OnTheCommandLineIsHeard)
{
    REQUIRE_SOUND_FILE();
    std::string sound = SoundFilePath();
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
    std::string pcm;
    EXPECT_TRUE(WaitUntil(
        [&] {
            pcm = ReadBytes(sound);
            return pcm.size() >= 4 * 44100 + 4096;
        },
        30000));
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
    DWORD processId = program.process.dwProcessId;
    HWND box = nullptr;
    std::string text;
    if (program.window) {
        PostMessageA(program.window, WM_COMMAND, 16, 0);
        EXPECT_TRUE(WaitUntil([&] { return (box = FindProcessWindow(processId, "#32770")) != nullptr; }));
    }
    if (box) {
        EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
        char title[64] = "";
        GetWindowTextA(box, title, sizeof title);
        EXPECT_STREQ(title, "バージョン情報");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    }
    EXPECT_EQ(text, "Tunewell Version 1.49v");
    EXPECT_EQ(CloseProgram(program), 0u);
}

} // namespace
