// Files and folders dropped on the face, in drop blocks made like the
// shell's.
#include "ui/menu_support.h"

#include "playlist/store.h"

namespace {

class DropsTest : public PlayerTest {
  protected:
    void SetUp() override { window = StartTestPlayer(folder.path()); }
    std::string Touch(const std::string &name) { return TouchFile(folder, name); }
    void FillWith(const std::vector<std::string> &paths) { FillPlaylistWith(paths); }
    TempDir folder;
    HWND window = nullptr;
    MciRecorder mci;
};

std::vector<std::string> Opens(const MciRecorder &mci)
{
    std::vector<std::string> opens;
    for (const std::string &command : mci.Commands())
        if (command.rfind("open ", 0) == 0)
            opens.push_back(command);
    return opens;
}

TEST_F(DropsTest, DropBlockIsReleasedOnBothPaths)
{
    const std::vector<std::vector<std::string>> drops = {{Touch("a.wav")}, {Touch("b.wav"), Touch("c.wav")}};
    for (const auto &paths : drops) {
        HGLOBAL block = MakeDrop(paths);
        SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
        EXPECT_EQ(GlobalSize(block), 0u) << paths.size() << " items";
    }
}

TEST_F(DropsTest, UpperCaseBmpChangesOnlyTheBackgroundAndEndsRepeat)
{
    std::string picture = folder / "PIC.BMP";
    WriteSolidBmp(picture, 4, 4, RGB(10, 200, 30));
    FillWith({Touch("a.wav"), Touch("b.wav")});
    player.repeatMode = 1;
    {
        // Ctrl makes no difference to a picture.
        ControlKeyHeld control;
        SendDrop(window, {picture});
    }
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{folder / "a.wav", folder / "b.wav"}));
    EXPECT_TRUE(mci.Commands().empty());
    EXPECT_EQ(GetPixel(player.backgroundDC, 10, 10), RGB(10, 200, 30));
    EXPECT_STREQ(player.pathBuffer, picture.c_str());
}

TEST_F(DropsTest, ListFileReplacesTheListAndPlaysFromIt)
{
    std::string one = Touch("one.wav");
    std::string two = Touch("two.wav");
    std::string list = folder / "songs.TXT";
    WriteBytes(list, one + "\r\n" + two + "\r\n");
    FillWith({Touch("old.wav")});
    player.repeatMode = 1;
    SendDrop(window, {list});
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{one, two}));
    ASSERT_EQ(Opens(mci).size(), 1u);
    EXPECT_TRUE(Opens(mci)[0] == MciOpenCommand(one) || Opens(mci)[0] == MciOpenCommand(two));
}

TEST_F(DropsTest, FolderIsScannedIntoAnEmptiedList)
{
    std::string songs = folder / "songs";
    MakeFolder(songs);
    WriteBytes(songs + "\\b.wav", "RIFF");
    WriteBytes(songs + "\\a.mid", "MThd");
    WriteBytes(songs + "\\notes.doc", "x");
    FillWith({Touch("old.wav")});
    player.repeatMode = 1;
    {
        ControlKeyHeld control;
        SendDrop(window, {songs});
    }
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{songs + "\\a.mid", songs + "\\b.wav"}));
    EXPECT_EQ(Opens(mci).size(), 1u);
}

TEST_F(DropsTest, FolderWithoutSongsEmptiesTheListAndStartsNothing)
{
    std::string empty = folder / "empty";
    MakeFolder(empty);
    FillWith({Touch("old.wav")});
    SendDrop(window, {empty});
    EXPECT_TRUE(player.playlist.empty());
    EXPECT_TRUE(Opens(mci).empty());
}

TEST_F(DropsTest, FolderNamedLikeAListFileIsReadAsOne)
{
    std::string odd = folder / "x.txt";
    MakeFolder(odd);
    WriteBytes(odd + "\\a.wav", "RIFF");
    FillWith({Touch("old.wav")});
    SendDrop(window, {odd});
    // It cannot be read as a file, so the list ends empty.
    EXPECT_TRUE(player.playlist.empty());
    EXPECT_TRUE(Opens(mci).empty());
}

// Which folders count follows the one rule (tests/playlist/folder_test):
// here, that a drop of one item and a drop of several ask it, so a hidden
// folder is scanned.
TEST_F(DropsTest, MarkedFolderIsScannedAllTheSame)
{
    std::string marked = folder / "marked";
    MakeFolder(marked);
    WriteBytes(marked + "\\a.wav", "RIFF");
    SetFileAttributesA(marked.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    DWORD attributes = GetFileAttributesA(marked.c_str());
    ASSERT_NE(attributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    std::string other = Touch("other.wav");
    struct Case {
        std::vector<std::string> dropped;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {{marked}, {marked + "\\a.wav"}},
        {{other, marked}, {other, marked + "\\a.wav"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dropped.size());
        mci.Clear();
        FillWith({Touch("old.wav")});
        SendDrop(window, c.dropped);
        EXPECT_EQ(player.playlist, c.entries);
        ASSERT_EQ(Opens(mci).size(), 1u);
        EXPECT_EQ(Opens(mci)[0], MciOpenCommand(player.playlist[player.currentIndex]));
    }
    SetFileAttributesA(marked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DropsTest, OneTrackReplacesTheListOrJoinsItWithCtrl)
{
    std::string a = Touch("a.wav");
    std::string b = Touch("b.wav");
    std::string dropped = Touch("dropped.wma");

    FillWith({a, b});
    player.repeatMode = 1;
    SendDrop(window, {dropped});
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{dropped}));
    EXPECT_EQ(player.currentIndex, 0u);
    EXPECT_EQ(Opens(mci), (std::vector<std::string>{MciOpenCommand(dropped)}));

    mci.Clear();
    FillWith({a, b});
    player.repeatMode = 1;
    {
        ControlKeyHeld control;
        ASSERT_TRUE(control.held());
        SendDrop(window, {dropped});
    }
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{a, b, dropped}));
    EXPECT_EQ(player.currentIndex, 2u);
    EXPECT_EQ(Opens(mci), (std::vector<std::string>{MciOpenCommand(dropped)}));
}

TEST_F(DropsTest, CtrlDropOntoAFullListMakesItAHundred)
{
    std::vector<std::string> full(99, folder / "a.wav");
    FillWith(full);
    std::string dropped = Touch("dropped.wav");
    {
        ControlKeyHeld control;
        SendDrop(window, {dropped});
    }
    ASSERT_EQ(PlaylistCount(), 100);
    EXPECT_EQ(player.playlist[99], dropped);
    EXPECT_EQ(player.currentIndex, 99u);
}

TEST_F(DropsTest, ManyFilesFillTheListOnlyUpToNinetyNine)
{
    std::vector<std::string> files;
    for (int i = 0; i < 150; ++i) {
        char name[16];
        wsprintfA(name, "f%03d.wav", i);
        files.push_back(Touch(name));
    }
    player.repeatMode = 1;
    {
        // Ctrl makes no difference to several items.
        ControlKeyHeld control;
        SendDrop(window, files);
    }
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.playlist, std::vector<std::string>(files.begin(), files.begin() + 99));
    EXPECT_EQ(Opens(mci).size(), 1u);
}

TEST_F(DropsTest, FoldersAmongSeveralItemsAreScannedInPlace)
{
    std::string first = Touch("first.wav");
    std::string songs = folder / "songs";
    MakeFolder(songs);
    WriteBytes(songs + "\\s.mp3", "ID3");
    WriteBytes(songs + "\\s.wav", "RIFF");
    std::string last = Touch("last.mid");
    FillWith({Touch("old.wav")});
    SendDrop(window, {first, songs, last});
    EXPECT_EQ(player.playlist, (std::vector<std::string>{first, songs + "\\s.wav", songs + "\\s.mp3", last}));
    EXPECT_EQ(Opens(mci).size(), 1u);
}

TEST_F(DropsTest, ListFileAmongTwoItemsIsATrack)
{
    std::string track = Touch("a.wav");
    std::string list = folder / "list.txt";
    WriteBytes(list, Touch("inside.wav") + "\r\n");
    SendDrop(window, {track, list});
    EXPECT_EQ(player.playlist, (std::vector<std::string>{track, list}));
}

TEST_F(DropsTest, PicturesAmongSeveralItemsAreTracksToo)
{
    std::string picture = folder / "p.bmp";
    WriteSolidBmp(picture, 2, 2, RGB(1, 2, 3));
    std::string track = Touch("a.wav");
    player.repeatMode = 1;
    SendDrop(window, {picture, track});
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.playlist, (std::vector<std::string>{picture, track}));
    EXPECT_NE(GetPixel(player.backgroundDC, 10, 10), RGB(1, 2, 3));
}

} // namespace
