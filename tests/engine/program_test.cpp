// The program with the real engine beside it: an MP3 file on its command
// line is heard, decoded by VBMP3.dll (MCI cannot play MP3 files here).
#include "engine_test_support.h"
#include "common/test_support.h"

#include <cstring>

namespace {

struct ProgramWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM data)
{
    auto *search = reinterpret_cast<ProgramWindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

TEST(EngineProgramTest, Mp3OnTheCommandLineIsHeard)
{
    std::string sound = SoundFilePath();
    if (sound.empty())
        GTEST_SKIP() << "no sound file";
    std::string exe = BuildFolder() + "\\Tunewell.exe";
    ASSERT_TRUE(FileExists(exe));
    ASSERT_TRUE(FileExists(BuildFolder() + "\\VBMP3.dll"));
    TempDir folder;
    std::string track = folder / "tone.mp3";
    ASSERT_TRUE(CopyFileA(Fixture("mono22.mp3").c_str(), track.c_str(), FALSE));
    ClearSound();

    std::string commandLine = "\"" + exe + "\" " + track;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               folder.path().c_str(), &startup, &process));
    ProgramWindowSearch search = {process.dwProcessId, nullptr};
    EXPECT_TRUE(WaitUntil([&] {
        search.found = nullptr;
        EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }));
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
    if (search.found)
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1234;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    size_t begin = 0;
    while (begin + 2 <= pcm.size() && pcm[begin] == 0 && pcm[begin + 1] == 0)
        begin += 2;
    ASSERT_GE(pcm.size(), begin + 4 * 44100);
    SoundSummary heard = SummarizeSound(pcm.substr(begin, 4 * 44100), 22050, 1);
    EXPECT_NEAR(heard.frequency, 1000, 20);
    EXPECT_GT(heard.rms, 5000);
}

} // namespace
