// The face and the menu with the files a user has: drops of names code
// page 932 cannot hold and of paths too long for the path buffer, "&" in a
// name, a top-down picture, the dialogs and the current directory, and a
// drag whose mouse capture is taken away.
#include "ui/menu_support.h"

#include "playback/play_track.h"
#include "playlist/narrow_path.h"
#include "playlist/list_file.h"
#include "ui/face.h"
#include "ui/context_menu.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace {

// A drop block as the shell makes it today: wide names.
HGLOBAL MakeWideDrop(const std::vector<std::wstring> &paths)
{
    std::wstring names;
    for (const std::wstring &path : paths)
        names += path + L'\0';
    names += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto *header = static_cast<DROPFILES *>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(reinterpret_cast<char *>(header) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

void SendWideDrop(HWND window, const std::vector<std::wstring> &paths)
{
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop(paths)), 0);
}

bool SameFile(const std::string &narrow, const std::wstring &wide)
{
    NarrowPath made;
    return MakeNarrowPath(wide, made) && made.path == narrow;
}

std::string CurrentDirectory()
{
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

class UserFilesTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        window = StartTestPlayer(folder.path());
        wideFolder = WidenText(folder.path().c_str());
    }
    LRESULT Command(WPARAM id) { return SendMessageA(window, WM_COMMAND, id, 0); }
    TempDir folder;
    std::wstring wideFolder;
    HWND window = nullptr;
};

// ---- Drops --------------------------------------------------------------------

TEST_F(UserFilesTest, DroppedNameTheCodePageCannotHoldIsHeardAndShownAsItsOwnName)
{
    REQUIRE_SOUND_FILE();
    std::wstring cafe = wideFolder + L"\\Caf\u00E9.wav";
    WriteWideToneWav(cafe, 20, 660, folder / "scratch.wav");
    ClearSound();
    SendWideDrop(window, {cafe});
    ASSERT_EQ(player.playlist.size(), 1u);
    EXPECT_TRUE(SameFile(player.playlist[0], cafe)) << player.playlist[0];
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(player.title, "Caf?.wav");
    EXPECT_STREQ(player.pathBuffer, player.playlist[0].c_str());
    SoundSummary heard = WaitForSound();
    EXPECT_NEAR(heard.frequency, 660, 20);
    EXPECT_GT(heard.rms, 5000);

    // The menu shows the name too, and the exported list the path that opens.
    BuildContextMenu();
    std::vector<MenuRow> entries = ReadMenu(player.playlistMenu);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "Caf?.wav");
    std::string exported = folder / "out.txt";
    SavePlaylistFile(exported.c_str());
    EXPECT_EQ(ReadBytes(exported), player.playlist[0] + "\r\n");
}

TEST_F(UserFilesTest, DroppedItemsThatCannotBeNamedOrDoNotFitAreSkipped)
{
    MciRecorder mci;
    std::string kept = TouchFile(folder, "kept.wav");
    // 270 characters: DragQueryFileA would cut it into another path.
    std::string deep = folder.path() + "\\";
    deep += std::string(270 - deep.size() - 4, 'n') + ".wav";
    struct Case {
        const char *name;
        std::vector<std::wstring> dropped;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"one long path", {WidenText(deep.c_str())}, {kept}},
        {"one unknown foreign name", {wideFolder + L"\\nowhere\u00E9.wav"}, {kept}},
        {"several", {WidenText(deep.c_str()), WidenText(kept.c_str()), wideFolder + L"\\nowhere\u00E9.wav"}, {kept}},
    };
    for (const Case &c : cases) {
        FillPlaylistWith({kept});
        std::strcpy(player.pathBuffer, kept.c_str());
        player.repeatMode = 1;
        SendWideDrop(window, c.dropped);
        EXPECT_EQ(player.playlist, c.entries) << c.name;
        EXPECT_EQ(player.repeatMode, 0) << c.name;
        EXPECT_STREQ(player.pathBuffer, kept.c_str()) << c.name;
    }
}

// ---- "&" in a name --------------------------------------------------------------

TEST_F(UserFilesTest, AmpersandsShowInTheMenuAsThemselves)
{
    FillPlaylistWith({"C:\\music\\R&B.wav", "C:\\music\\Rock && Roll.mid", "C:\\\x95\x5C&.wav"});
    BuildContextMenu();
    std::vector<MenuRow> entries = ReadMenu(player.playlistMenu);
    ASSERT_EQ(entries.size(), 3u);
    // The menu holds the doubled text; it shows one "&" for each pair.
    EXPECT_EQ(entries[0].text, "R&&B.wav");
    EXPECT_EQ(entries[1].text, "Rock &&&& Roll.mid");
    EXPECT_EQ(entries[2].text, "\x95\x5C&&.wav");
    EXPECT_EQ(MenuText(""), "");
}

// ---- A top-down picture ---------------------------------------------------------

// A 24-bit picture of four coloured quarters, rows stored top row first.
void WriteTopDownQuarters(const std::string &path, int width, int height, const COLORREF quarter[4])
{
    WriteBmp(path, width, height, [&](int x, int y) { return quarter[(y >= height / 2) * 2 + (x >= width / 2)]; },
             true);
}

TEST_F(UserFilesTest, TopDownPictureShowsEachQuarterWhereItBelongs)
{
    const COLORREF quarter[4] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0)};
    std::string picture = folder / "down.bmp";
    WriteTopDownQuarters(picture, 16, 8, quarter);
    EXPECT_TRUE(LoadBackground(picture.c_str()));
    // The face is 248 x 98: a point well inside each quarter.
    const POINT inside[4] = {{30, 12}, {220, 12}, {30, 86}, {220, 86}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(GetPixel(player.backgroundDC, inside[i].x, inside[i].y), quarter[i]) << "quarter " << i;
}

// ---- The dialogs and the current directory -------------------------------------

TEST_F(UserFilesTest, DialogsLeaveTheCurrentDirectoryWhereItWas)
{
    MciRecorder mci;
    TempDir other;
    std::string chosen = TouchFile(other, "chosen.wav");
    std::string before = CurrentDirectory();
    ASSERT_EQ(before, folder.path());
    struct Case {
        const char *name;
        int command;
        std::string path;
    };
    const Case cases[] = {
        {"open", LoadFile, chosen},
        {"save", ExportList, other / "out.txt"},
        {"open, cancelled", LoadFile, ""},
    };
    for (const Case &c : cases) {
        FillPlaylistWith({"relative.wav"});
        DialogAnswerer answerer(window, [&](HWND dialog) {
            if (c.path.empty())
                CancelDialog(dialog);
            else
                ChooseFile(dialog, c.path);
        });
        Command(c.command);
        answerer.Join();
        ASSERT_TRUE(answerer.found()) << c.name;
        EXPECT_FALSE(answerer.answerIgnored()) << c.name;
        EXPECT_EQ(CurrentDirectory(), before) << c.name;
    }
    EXPECT_EQ(ReadBytes(other / "out.txt"), "relative.wav\r\n");
}

TEST_F(UserFilesTest, OpenDialogTakesANameTheCodePageCannotHold)
{
    MciRecorder mci;
    std::wstring chosen = wideFolder + L"\\yen\u00A5sign.wav";
    WriteWideToneWav(chosen, 1, 440, folder / "scratch.wav");
    // The narrow dialog hands back "yen\sign.wav" for that name: a file in
    // another folder, which must not be the one played.
    MakeFolder(folder / "yen");
    TouchFile(folder, "yen\\sign.wav");
    DialogAnswerer answerer(window, [&](HWND dialog) {
        SetDlgItemTextW(dialog, 0x47C, chosen.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(LoadFile);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    ASSERT_EQ(player.playlist.size(), 1u);
    EXPECT_TRUE(SameFile(player.playlist[0], chosen)) << player.playlist[0];
    EXPECT_EQ(player.title, "yen?sign.wav");
    EXPECT_EQ(mci.Commands().size() > 0 && Contains(mci.Commands(), MciOpenCommand(player.playlist[0])), true);
    EXPECT_FALSE(Contains(mci.Commands(), MciOpenCommand(folder / "yen\\sign.wav")));
}

// Passes every command on to the platform and counts the opens that
// worked, from any thread's point of view.
std::atomic<int> opened{0};
MciSender platformSender = nullptr;

MCIERROR CountOpensAndSend(const char *command, char *reply, UINT replyLength, HWND callback)
{
    MCIERROR result = platformSender(command, reply, replyLength, callback);
    if (std::string(command).compare(0, 5, "open ") == 0 && result == 0)
        ++opened;
    return result;
}

// Tracks end and start while the open dialog shows another folder, which
// it has made the current one: the relative entries still open from the
// folder the player started in, none is dropped, and a save afterwards
// writes them as they were.
TEST_F(UserFilesTest, RelativeEntriesPlayOnWhileADialogShowsAnotherFolder)
{
    REQUIRE_SOUND_FILE();
    TempDir other;
    WriteToneWav(folder / "one.wav", 0.5, 440);
    WriteToneWav(folder / "two.wav", 0.5, 660);
    FillPlaylistWith({"one.wav", "two.wav"});
    opened = 0;
    platformSender = mciSender;
    mciSender = CountOpensAndSend;
    PlayTrack(0);
    ASSERT_EQ(player.playing, 1);

    std::atomic<bool> movedAway{false};
    std::atomic<bool> playedThere{false};
    DialogAnswerer answerer(window, [&](HWND dialog) {
        // Typing a folder's path and OK takes the dialog into that folder.
        ChooseFile(dialog, other.path());
        DWORD start = GetTickCount();
        while (!movedAway && GetTickCount() - start < 10000) {
            movedAway = CurrentDirectory() == other.path();
            Sleep(10);
        }
        int before = opened;
        start = GetTickCount();
        while (!playedThere && GetTickCount() - start < 20000) {
            playedThere = opened >= before + 3;
            Sleep(10);
        }
        CancelDialog(dialog);
    });
    Command(LoadFile);
    answerer.Join();
    mciSender = platformSender;

    ASSERT_TRUE(answerer.found());
    EXPECT_TRUE(movedAway) << "the dialog did not make the other folder current";
    EXPECT_TRUE(playedThere) << "tracks stopped starting while the dialog was open";
    EXPECT_EQ(player.playlist, (std::vector<std::string>{"one.wav", "two.wav"}));
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(CurrentDirectory(), folder.path());
    double heard = WaitForSound(0.1).frequency;
    EXPECT_TRUE(std::fabs(heard - 440) < 15 || std::fabs(heard - 660) < 20) << heard << " Hz";

    DialogAnswerer saver(window, [&](HWND dialog) { ChooseFile(dialog, other / "saved.txt"); });
    Command(ExportList);
    saver.Join();
    EXPECT_EQ(ReadBytes(other / "saved.txt"), "one.wav\r\ntwo.wav\r\n");
}

std::string ReadWideNamedFile(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(no such file)";
    char bytes[4096];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    return std::string(bytes, read);
}

// A name typed into the save dialog that the code page cannot hold is the
// name saved under; a user's own file of the look-alike name is untouched.
TEST_F(UserFilesTest, SaveDialogSavesUnderExactlyTheNameTyped)
{
    MciRecorder mci;
    WriteBytes(folder / "Cafe.txt", "mine\r\n");
    FillPlaylistWith({"C:\\a.wav", "relative.wav"});
    std::wstring typed = wideFolder + L"\\Caf\u00E9.txt";
    DialogAnswerer answerer(window, [&](HWND dialog) {
        if (!SetDlgItemTextW(dialog, 0x47C, typed.c_str()))
            SetDlgItemTextW(dialog, 0x480, typed.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(ExportList);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    EXPECT_FALSE(answerer.answerIgnored());
    EXPECT_EQ(ReadBytes(folder / "Cafe.txt"), "mine\r\n");
    EXPECT_EQ(ReadWideNamedFile(typed), "C:\\a.wav\r\nrelative.wav\r\n");
}

// ---- A drag that loses the mouse ------------------------------------------------

TEST_F(UserFilesTest, LosingTheCaptureEndsTheDrag)
{
    SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 400, 400, 20, 20, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    struct Case {
        const char *name;
        std::function<void()> takeCapture;
    };
    const Case cases[] = {
        {"another window captures", [&] { SetCapture(other); }},
        {"the capture is released", [] { ReleaseCapture(); }},
    };
    for (const Case &c : cases) {
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ASSERT_EQ(player.dragging, 1) << c.name;
        c.takeCapture();
        EXPECT_EQ(player.dragging, 0) << c.name;
        RECT before, after;
        GetWindowRect(window, &before);
        SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 40));
        GetWindowRect(window, &after);
        EXPECT_EQ(after.left, before.left) << c.name;
        EXPECT_EQ(after.top, before.top) << c.name;
        ReleaseCapture();
    }
    // Capturing again for itself is no loss: a new press still drags.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SetCapture(window);
    EXPECT_EQ(player.dragging, 1);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    DestroyWindow(other);
}

} // namespace
