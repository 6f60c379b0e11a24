// The menu's commands, sent as the menu sends them, with the dialogs and the
// About box answered for real from a second thread.
#include "ui/menu_support.h"

#include "playlist/store.h"
#include "ui/context_menu.h"
#include "ui/face.h"

#include <commctrl.h>

namespace {

class CommandsTest : public PlayerTest {
  protected:
    void Start() { window = StartTestPlayer(folder.path()); }
    std::string Touch(const std::string &name) { return TouchFile(folder, name); }
    void FillWith(const std::vector<std::string> &paths) { FillPlaylistWith(paths); }
    LRESULT Command(WPARAM id) { return SendMessageA(window, WM_COMMAND, id, 0); }
    std::vector<std::string> Opens() const
    {
        std::vector<std::string> opens;
        for (const std::string &command : mci.Commands())
            if (command.rfind("open ", 0) == 0)
                opens.push_back(command);
        return opens;
    }
    TempDir folder;
    HWND window = nullptr;
    MciRecorder mci;
};

const char AboutCaption[] = "\x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93\x8F\xEE\x95\xF1"; // バージョン情報
const char OpenCaption[] = "\x8A\x4A\x82\xAD";                                         // 開く

// ---- 11: a file through the open dialog -----------------------------------

TEST_F(CommandsTest, OpenedTrackReplacesTheListAndKeepsRepeat)
{
    Start();
    std::string chosen = Touch("chosen.wav");
    FillWith({Touch("a.wav"), Touch("b.wav")});
    player.repeatMode = 1;
    DialogAnswerer answerer(window, [&](HWND dialog) { ChooseFile(dialog, chosen); });
    EXPECT_EQ(Command(LoadFile), 0);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    EXPECT_FALSE(answerer.answerIgnored());
    EXPECT_EQ(answerer.caption, OpenCaption);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{chosen}));
    EXPECT_EQ(Opens(), (std::vector<std::string>{MciOpenCommand(chosen)}));
    EXPECT_EQ(player.repeatMode, 1);
}

TEST_F(CommandsTest, OpenedListFileKeepsRepeatWhichShowsGreyedAndChecked)
{
    Start();
    std::string only = Touch("only.wav");
    std::string list = folder / "one.txt";
    WriteBytes(list, only + "\r\n");
    FillWith({Touch("a.wav"), Touch("b.wav")});
    player.repeatMode = 1;
    DialogAnswerer answerer(window, [&](HWND dialog) { ChooseFile(dialog, list); });
    Command(LoadFile);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    EXPECT_EQ(player.playlist, (std::vector<std::string>{only}));
    EXPECT_EQ(Opens(), (std::vector<std::string>{MciOpenCommand(only)}));
    EXPECT_EQ(player.repeatMode, 1);

    BuildContextMenu();
    std::vector<MenuRow> rows = ReadMenu(player.contextMenu);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_TRUE(rows[2].greyed);
    EXPECT_TRUE(rows[2].checked);
}

TEST_F(CommandsTest, OpenedPictureBecomesTheBackground)
{
    Start();
    std::string picture = folder / "face.bmp";
    WriteSolidBmp(picture, 8, 8, RGB(250, 20, 90));
    FillWith({Touch("a.wav")});
    DialogAnswerer answerer(window, [&](HWND dialog) { ChooseFile(dialog, picture); });
    Command(LoadFile);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    EXPECT_EQ(player.playlist, (std::vector<std::string>{folder / "a.wav"}));
    EXPECT_TRUE(mci.Commands().empty());
    EXPECT_EQ(GetPixel(player.backgroundDC, 20, 20), RGB(250, 20, 90));
}

TEST_F(CommandsTest, CancelledOpenChangesNothing)
{
    Start();
    std::vector<std::string> list = {Touch("a.wav"), Touch("b.wav")};
    FillWith(list);
    player.repeatMode = 1;
    COLORREF face = GetPixel(player.backgroundDC, 20, 20);
    DialogAnswerer answerer(window, CancelDialog);
    EXPECT_EQ(Command(LoadFile), 0);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    EXPECT_EQ(player.playlist, list);
    EXPECT_EQ(player.repeatMode, 1);
    EXPECT_TRUE(mci.Commands().empty());
    EXPECT_EQ(GetPixel(player.backgroundDC, 20, 20), face);
}

// ---- 12: the list through the save dialog ---------------------------------

TEST_F(CommandsTest, ExportWritesEveryEntryAsTyped)
{
    Start();
    // 表 ends in a 0x5C byte; the file keeps the path's bytes as they are.
    std::vector<std::string> list = {"D:\\songs\\a.mid", "b.wav", "D:\\\x95\x5C\\c.mp3", "D:\\songs\\a.mid"};
    FillWith(list);
    std::string target = folder / "exported.lst";
    DialogAnswerer answerer(window, [&](HWND dialog) { ChooseFile(dialog, target); });
    EXPECT_EQ(Command(ExportList), 0);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    EXPECT_FALSE(answerer.answerIgnored());
    EXPECT_EQ(ReadBytes(target), "D:\\songs\\a.mid\r\nb.wav\r\nD:\\\x95\x5C\\c.mp3\r\nD:\\songs\\a.mid\r\n");
    // No extension is added to the typed name.
    EXPECT_FALSE(FileExists(target + ".txt"));
    EXPECT_EQ(player.playlist, list);
}

TEST_F(CommandsTest, CancelledExportWritesNothing)
{
    Start();
    FillWith({"D:\\a.wav"});
    DialogAnswerer answerer(window, CancelDialog);
    EXPECT_EQ(Command(ExportList), 0);
    answerer.Join();
    ASSERT_TRUE(answerer.found());
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((folder / "*.*").c_str(), &found);
    int files = 0;
    if (listing != INVALID_HANDLE_VALUE) {
        do
            files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (FindNextFileA(listing, &found));
        FindClose(listing);
    }
    EXPECT_EQ(files, 0);
}

// ---- 13: repeat --------------------------------------------------------------

int labelPaints = 0;
WNDPROC labelProc = nullptr;
LRESULT CALLBACK CountLabelPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++labelPaints;
    return CallWindowProcA(labelProc, window, message, wParam, lParam);
}

TEST_F(CommandsTest, RepeatTogglesAndTheLabelShowsItAtOnce)
{
    Start();
    FillWith({"D:\\a.wav", "D:\\b.wav"});
    labelProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(player.labelWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountLabelPaints)));
    // Nothing left to paint before the command.
    RedrawWindow(player.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (int32_t expected : {1, 0}) {
        labelPaints = 0;
        EXPECT_EQ(Command(ToggleRepeat), 0);
        EXPECT_EQ(player.repeatMode, expected);
        // Painted before the command returns, not when the queue gets to it.
        EXPECT_GE(labelPaints, 1);
    }
    SetWindowLongPtrA(player.labelWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(labelProc));
    EXPECT_TRUE(mci.Commands().empty());
}

// ---- 14: removing the current entry -----------------------------------------

TEST_F(CommandsTest, RemovingAnEntryClosesTheTrackAndPlaysAnother)
{
    Start();
    std::string a = Touch("a.wav");
    std::string b = Touch("b.wav");
    std::string c = Touch("c.wav");
    FillWith({a, b, c});
    player.currentIndex = 1;
    player.repeatMode = 1;
    EXPECT_EQ(Command(RemoveCurrent), 0);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{a, c}));
    EXPECT_EQ(player.repeatMode, 0);
    std::vector<std::string> commands = mci.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands[0], "close music");
    ASSERT_EQ(Opens().size(), 1u);
    EXPECT_TRUE(Opens()[0] == MciOpenCommand(a) || Opens()[0] == MciOpenCommand(c));
}

TEST_F(CommandsTest, RemovingClosesOnTheTrackBackEndWhetherOpenOrNot)
{
    Start();
    FakeEngine engine;
    struct Case {
        BackEnd backEnd;
        int32_t trackOpen;
        bool engineClose;
    };
    const Case cases[] = {{Mci, 1, false}, {Mci, 0, false}, {Mp3Engine, 1, true}, {Mp3Engine, 0, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE("back-end " + std::to_string(c.backEnd) + ", open " + std::to_string(c.trackOpen));
        FillWith({"D:\\a.wav", "D:\\b.wav"});
        player.backEnd = c.backEnd;
        player.trackOpen = c.trackOpen;
        mci.Clear();
        engine.calls.clear();
        Command(RemoveCurrent);
        std::vector<std::string> commands = mci.Commands();
        if (c.engineClose) {
            ASSERT_FALSE(engine.calls.empty());
            EXPECT_EQ(engine.calls[0], "close");
            EXPECT_FALSE(Contains(commands, "close music"));
        } else {
            ASSERT_FALSE(commands.empty());
            EXPECT_EQ(commands[0], "close music");
            EXPECT_FALSE(Contains(engine.calls, "close"));
        }
        EXPECT_EQ(player.playlist, (std::vector<std::string>{"D:\\b.wav"}));
    }
}

// The pixels of the time text as they are on the screen.
std::vector<COLORREF> ShownTime()
{
    RECT area = player.timeRect;
    // The face sits one pixel inside the bevel.
    OffsetRect(&area, 1, 1);
    HDC screen = GetDC(player.mainWindow);
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(GetPixel(screen, x, y));
    ReleaseDC(player.mainWindow, screen);
    return pixels;
}

TEST_F(CommandsTest, RemovingTheOnlyEntryLeavesNothingLoaded)
{
    Start();
    mci.Answer("status music length wait", 0, "180000");
    std::string only = Touch("only.wav");
    SendDrop(window, {only});
    ASSERT_EQ(player.trackOpen, 1);
    ASSERT_EQ(player.totalSeconds, 180u);
    ASSERT_TRUE(IsWindowEnabled(player.trackBar));
    player.elapsedSeconds = 42;
    SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 42);
    RepaintFace();
    std::vector<COLORREF> playingTime = ShownTime();
    player.repeatMode = 1;
    mci.Clear();

    EXPECT_EQ(Command(RemoveCurrent), 0);
    std::vector<COLORREF> shownTime = ShownTime();
    EXPECT_EQ(mci.Commands(), (std::vector<std::string>{"close music"}));
    EXPECT_TRUE(player.playlist.empty());
    EXPECT_EQ(player.trackOpen, 0);
    EXPECT_EQ(player.playing, 0);
    EXPECT_EQ(player.paused, 0);
    EXPECT_EQ(player.stopped, 0);
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.title, "");
    EXPECT_EQ(player.elapsedSeconds, 0u);
    EXPECT_EQ(player.totalSeconds, 180u);
    EXPECT_FALSE(IsWindowEnabled(player.trackBar));
    EXPECT_EQ(SendMessageA(player.trackBar, TBM_GETPOS, 0, 0), 0);

    // The screen already shows 00:00 beside the old total: painting the
    // state again changes nothing, and it differs from what was shown at
    // 00:42.
    ASSERT_FALSE(shownTime.empty());
    EXPECT_NE(shownTime, playingTime);
    RepaintFace();
    EXPECT_EQ(ShownTime(), shownTime);
}

TEST_F(CommandsTest, RemovingWhenTheListHasAlreadyRunEmptyIsHarmless)
{
    Start();
    // The end of a track may empty the list while the menu is open.
    ClearPlaylist();
    player.currentIndex = 3;
    EXPECT_EQ(Command(RemoveCurrent), 0);
    EXPECT_TRUE(player.playlist.empty());
    EXPECT_EQ(player.trackOpen, 0);
    EXPECT_FALSE(IsWindowEnabled(player.trackBar));
}

// ---- 16: the About box ---------------------------------------------------------

TEST_F(CommandsTest, AboutBoxNamesTheVersion)
{
    Start();
    struct Case {
        bool engine;
        const char *text;
    };
    for (const Case &c : {Case{false, "Tunewell Version 1.49"}, Case{true, "Tunewell Version 1.49v"}}) {
        SCOPED_TRACE(c.text);
        std::unique_ptr<FakeEngine> engine;
        if (c.engine)
            engine.reset(new FakeEngine);
        std::vector<std::string> texts;
        DialogAnswerer answerer(window, [&](HWND box) {
            texts = StaticTexts(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(Command(About), 0);
        answerer.Join();
        ASSERT_TRUE(answerer.found());
        EXPECT_EQ(answerer.caption, AboutCaption);
        EXPECT_EQ(texts, std::vector<std::string>{c.text});
        EXPECT_FALSE(answerer.answerIgnored());
    }
}

// ---- 20 and up: playlist entries ------------------------------------------------

TEST_F(CommandsTest, EntryIdentifierPlaysThatEntryWithRepeatOff)
{
    Start();
    std::vector<std::string> list = {Touch("a.wav"), Touch("b.wav"), Touch("c.wav")};
    FillWith(list);
    player.repeatMode = 1;
    // The high word is not looked at.
    EXPECT_EQ(Command(MAKEWPARAM(FirstEntry + 2, 1)), 0);
    EXPECT_EQ(player.currentIndex, 2u);
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(Opens(), (std::vector<std::string>{MciOpenCommand(list[2])}));
}

TEST_F(CommandsTest, IdentifiersOutsideTheListDoNothing)
{
    Start();
    FillWith({"D:\\a.wav", "D:\\b.wav", "D:\\c.wav"});
    player.repeatMode = 1;
    for (WPARAM id : {0u, 15u, 17u, 18u, 19u, 23u, 24u, 200u}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(Command(id), 0);
        EXPECT_EQ(player.repeatMode, 1);
        EXPECT_EQ(player.playlist.size(), 3u);
    }
    EXPECT_TRUE(mci.Commands().empty());
}

} // namespace
