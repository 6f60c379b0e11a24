// The real program started the way the shell starts it: with the command
// line the shell builds for several files (names with spaces quoted, a
// quoted folder ending in a backslash), and a second time while a player
// runs, when the running player takes the items and no second window
// stays.
#include "program/program_support.h"

#include "playlist/narrow_path.h"

#include <commctrl.h>

#include <cmath>
#include <set>
#include <string>

namespace {

// Mono 11,025 Hz, 16-bit: far longer than the test takes even on the null
// device, which plays several times faster than real time.
const int Rate = 11025;

struct Tone {
    int seconds; // what the slider's range shows for it
    double frequency;
};

// The tone of the latest quarter second heard, and the slider's range,
// are those of one of `tones`; its index, or -1.
int ToneHeard(const ProgramProcess &program, const std::vector<Tone> &tones)
{
    int range = SliderRange(program);
    SoundSummary heard = LatestSound(0.25, Rate, 1);
    for (size_t i = 0; i < tones.size(); ++i)
        if (range == tones[i].seconds && heard.rms > 3000 && std::abs(heard.frequency - tones[i].frequency) < 20)
            return static_cast<int>(i);
    return -1;
}

// Waits (bounded) until `tone` is heard and shown.
bool Hears(const ProgramProcess &program, const Tone &tone)
{
    return WaitUntil([&] { return ToneHeard(program, {tone}) == 0; }, 30000);
}

// The shell's form of a name: quoted when it holds a space.
std::string AsShellWrites(const std::string &path)
{
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

BOOL CALLBACK CountPlayerWindow(HWND window, LPARAM count)
{
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "CWindow") == 0 && IsWindowVisible(window))
        ++*reinterpret_cast<int *>(count);
    return TRUE;
}

int PlayerWindows()
{
    int count = 0;
    EnumWindows(CountPlayerWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Starts the program again with `arguments` in `folder` and waits
// (bounded) for it to end; its exit code, or -1 when it did not end.
long StartAgain(const std::wstring &arguments, const std::wstring &folder)
{
    std::wstring exe = WidenText(ProgramPath().c_str());
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return -1;
    long exitCode = -1;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        exitCode = static_cast<long>(code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

class ShellStartTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_SOUND_FILE();
        ASSERT_EQ(PlayerWindows(), 0) << "a player is running already";
        ClearSound();
    }

    void TearDown() override
    {
        if (program.process.hProcess) {
            EXPECT_EQ(CloseProgram(program), 0u);
        }
    }

    TempDir folder;
    ProgramProcess program;
};

TEST_F(ShellStartTest, SeveralQuotedNamesAndAQuotedFolderAreAllPlayed)
{
    MakeFolder(folder / "a b");
    MakeFolder(folder / "more music");
    const std::vector<Tone> tones = {{300, 440}, {310, 660}, {320, 880}};
    WriteToneWav(folder / "a b\\low tone.wav", tones[0].seconds, tones[0].frequency, Rate, 1);
    WriteToneWav(folder / "high.wav", tones[1].seconds, tones[1].frequency, Rate, 1);
    WriteToneWav(folder / "more music\\middle.wav", tones[2].seconds, tones[2].frequency, Rate, 1);
    // A file the list would take if the items were split anywhere else.
    WriteToneWav(folder / "a", 330, 990, Rate, 1);
    std::string arguments = AsShellWrites(folder / "a b\\low tone.wav") + " " + AsShellWrites(folder / "high.wav") +
                            " \"" + folder.path() + "\\more music\\\"";

    ASSERT_TRUE(StartProgram(ProgramPath(), arguments, folder.path(), program));
    HWND playButton = FindWindowExA(program.window, nullptr, "PlayWindow", nullptr);
    ASSERT_NE(playButton, nullptr);

    // The next track comes at random: skipped until each has been heard.
    std::set<int> heard;
    for (int round = 0; round < 40 && heard.size() < tones.size(); ++round) {
        int tone = -1;
        ASSERT_TRUE(WaitUntil([&] { return (tone = ToneHeard(program, tones)) >= 0; }, 30000))
            << "none of the tracks is heard; the slider shows " << SliderRange(program) << " s";
        heard.insert(tone);
        PostMessageA(playButton, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(heard.size(), tones.size()) << "not every item was played";
}

TEST_F(ShellStartTest, ASecondStartHandsItsItemsToTheRunningPlayer)
{
    const Tone first = {300, 440}, handedFile = {310, 660}, inFolder = {320, 880};
    WriteToneWav(folder / "first.wav", first.seconds, first.frequency, Rate, 1);
    MakeFolder(folder / "other place");
    MakeFolder(folder / "other place\\new music");
    // Named beyond code page 932: handed over wide, it still opens.
    WriteToneWav(folder / "scratch.wav", handedFile.seconds, handedFile.frequency, Rate, 1);
    ASSERT_TRUE(MoveFileW(WidenText((folder / "scratch.wav").c_str()).c_str(),
                          (WidenText((folder / "other place").c_str()) + L"\\Caf\u00E9 tone.wav").c_str()));
    WriteToneWav(folder / "other place\\new music\\track.wav", inFolder.seconds, inFolder.frequency, Rate, 1);

    ASSERT_TRUE(StartProgram(ProgramPath(), "first.wav", folder.path(), program));
    ASSERT_TRUE(Hears(program, first)) << "the first start plays nothing";

    // Names relative to the second start's own folder, as "Open with"
    // and a double-click give them.
    std::wstring otherPlace = WidenText((folder / "other place").c_str());
    EXPECT_EQ(StartAgain(L"\"Caf\u00E9 tone.wav\"", otherPlace), 0);
    EXPECT_TRUE(Hears(program, handedFile)) << "the handed file is not heard";
    EXPECT_EQ(PlayerWindows(), 1);

    EXPECT_EQ(StartAgain(L"\"new music\\\"", otherPlace), 0);
    EXPECT_TRUE(Hears(program, inFolder)) << "the handed folder is not heard";
    EXPECT_EQ(PlayerWindows(), 1);

    // Without items, a start is a player of its own.
    ProgramProcess second;
    EXPECT_TRUE(StartProgram(ProgramPath(), "", folder.path(), second));
    if (second.process.hProcess) {
        EXPECT_EQ(CloseProgram(second), 0u);
    }
}

// A window of the player's class and title that never answers, as a
// player that hangs.
DWORD WINAPI HoldHungWindow(void *release)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "CWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "CWindow", "Tunewell", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    WaitForSingleObject(release, INFINITE);
    DestroyWindow(window);
    return 0;
}

TEST_F(ShellStartTest, APlayerThatDoesNotAnswerIsLeftAlone)
{
    const Tone tone = {300, 440};
    WriteToneWav(folder / "tone.wav", tone.seconds, tone.frequency, Rate, 1);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, HoldHungWindow, release, 0, nullptr);
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("CWindow", "Tunewell") != nullptr; }));

    EXPECT_TRUE(StartProgram(ProgramPath(), "tone.wav", folder.path(), program)) << "no player of its own";
    if (program.window) {
        EXPECT_TRUE(Hears(program, tone));
    }

    SetEvent(release);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(release);
}

} // namespace
