// The real program with the files and folders a user has: Japanese and
// other names on its command line and in its start-up folder, a folder
// whose name ends in the byte 0x5C, the dialogs, and a library of the
// engine's name lying in the music folder. Every track is heard.
#include "common/program_runner.h"
#include "common/test_support.h"

#include "playlist/narrow_path.h"

namespace {

const int FaceX = 125; // a spot of the face that no child covers
const int FaceY = 64;

class ProgramPathsTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        REQUIRE_SOUND_FILE();
        ASSERT_TRUE(FileExists(ProgramPath())) << ProgramPath();
        ClearSound();
    }
    void TearDown() override
    {
        if (program.process.hProcess)
            CloseProgram(program);
    }
    // The tone the program plays has `frequency`.
    void ExpectHeard(double frequency)
    {
        SoundSummary heard = WaitForSound();
        EXPECT_NEAR(heard.frequency, frequency, 20);
        EXPECT_GT(heard.rms, 5000);
    }
    TempDir folder;
    std::wstring wideFolder = WidenText(folder.path().c_str());
    ProgramProcess program;
};

TEST_F(ProgramPathsTest, JapaneseNameOnTheCommandLineIsHeard)
{
    // 日本語の曲.wav, relative to the folder the program starts in.
    const std::string name = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x8B\xC8.wav";
    WriteToneWav(folder / name, 20, 880);
    ASSERT_TRUE(StartProgram(ProgramPath(), name, folder.path(), program));
    ExpectHeard(880);
    EXPECT_EQ(CloseProgram(program), 0u);
}

TEST_F(ProgramPathsTest, NameTheCodePageCannotHoldOnTheCommandLineIsHeard)
{
    WriteWideToneWav(wideFolder + L"\\Caf\u00E9.wav", 20, 990, folder / "scratch.wav");
    ASSERT_TRUE(StartProgram(WidenText(ProgramPath().c_str()), L"Caf\u00E9.wav", wideFolder, program));
    ExpectHeard(990);
    EXPECT_EQ(CloseProgram(program), 0u);
}

TEST_F(ProgramPathsTest, StartUpFolderEndingInTheByte0x5CReadsItsListAndPicture)
{
    // 表 is 95 5C. Its list names a track in a sub-folder; a scan would find
    // only the decoy beside it.
    std::string table = folder / "\x95\x5C";
    MakeFolder(table);
    MakeFolder(table + "\\songs");
    WriteToneWav(table + "\\songs\\tone.wav", 20, 660);
    WriteToneWav(table + "\\decoy.wav", 20, 440);
    WriteBytes(table + "\\list.txt", "songs\\tone.wav\r\n");
    const COLORREF picture = RGB(20, 200, 120);
    WriteBmp(table + "\\bg.bmp", 8, 8, [picture](int, int) { return picture; });

    ASSERT_TRUE(StartProgram(ProgramPath(), "", table, program));
    ExpectHeard(660);
    COLORREF shown = CLR_INVALID;
    EXPECT_TRUE(WaitUntil([&] {
        HDC dc = GetDC(program.window);
        shown = GetPixel(dc, FaceX, FaceY);
        ReleaseDC(program.window, dc);
        return shown == picture;
    }, 10000)) << std::hex << shown;
    EXPECT_EQ(CloseProgram(program), 0u);
}

TEST_F(ProgramPathsTest, StartUpFolderScanFindsANameTheCodePageCannotHold)
{
    WriteWideToneWav(wideFolder + L"\\\uD55C\uAD6D\uC5B4.wav", 20, 770, folder / "scratch.wav"); // 한국어
    ASSERT_TRUE(StartProgram(ProgramPath(), "", folder.path(), program));
    ExpectHeard(770);
    EXPECT_EQ(CloseProgram(program), 0u);
}

// Answers the program's file dialog with `path` typed into its name box.
bool AnswerDialog(const ProgramProcess &program, const std::wstring &path)
{
    HWND dialog = nullptr;
    DWORD processId = program.process.dwProcessId;
    if (!WaitUntil([&] { return (dialog = FindProcessWindow(processId, "#32770")) != nullptr; }))
        return false;
    if (!SetDlgItemTextW(dialog, 0x47C, path.c_str()))
        SetDlgItemTextW(dialog, 0x480, path.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, 10000);
}

TEST_F(ProgramPathsTest, OpenDialogPlaysANameTheCodePageCannotHold)
{
    TempDir other;
    std::wstring chosen = WidenText(other.path().c_str()) + L"\\\u301C" L"yen\u00A5.wav"; // 〜yen¥.wav
    WriteWideToneWav(chosen, 20, 550, other / "scratch.wav");
    ASSERT_TRUE(StartProgram(ProgramPath(), "", folder.path(), program));
    PostMessageA(program.window, WM_COMMAND, 11, 0);
    ASSERT_TRUE(AnswerDialog(program, chosen));
    ExpectHeard(550);
    EXPECT_EQ(CloseProgram(program), 0u);
}

TEST_F(ProgramPathsTest, RelativeEntriesStillOpenAfterTheSaveDialog)
{
    WriteToneWav(folder / "tone.wav", 20, 660);
    WriteBytes(folder / "list.txt", "tone.wav\r\n");
    ASSERT_TRUE(StartProgram(ProgramPath(), "", folder.path(), program));
    ExpectHeard(660);

    // The export goes to another folder, which the dialog shows last.
    TempDir other;
    PostMessageA(program.window, WM_COMMAND, 12, 0);
    ASSERT_TRUE(AnswerDialog(program, WidenText((other / "out.txt").c_str())));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(other / "out.txt"); }, 10000));
    EXPECT_EQ(ReadBytes(other / "out.txt"), "tone.wav\r\n");

    // Choosing the entry opens "tone.wav" afresh, from the start-up folder.
    ClearSound();
    PostMessageA(program.window, WM_COMMAND, 20, 0);
    ExpectHeard(660);
    EXPECT_EQ(CloseProgram(program), 0u);
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM out)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    char text[128] = "";
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Static") == 0)
        *reinterpret_cast<std::string *>(out) += text;
    return TRUE;
}

// The program alone in its folder, without the engine; a library of the
// engine's name lies in the music folder it starts in. It must not be
// loaded: the About box tells.
TEST_F(ProgramPathsTest, NoLibraryIsLoadedFromTheCurrentFolder)
{
    TempDir programFolder;
    std::string exe = programFolder / "Tunewell.exe";
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\tests\\fakes\\fake_engine_ready.dll").c_str(),
                          (folder / "VBMP3.dll").c_str(), FALSE));
    ASSERT_TRUE(StartProgram(exe, "", folder.path(), program));
    PostMessageA(program.window, WM_COMMAND, 16, 0);
    HWND box = nullptr;
    DWORD processId = program.process.dwProcessId;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindProcessWindow(processId, "#32770")) != nullptr; }));
    std::string text;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(text, "Tunewell Version 1.49");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(CloseProgram(program), 0u);
}

} // namespace
