// The command line and the start-up filling of the playlist: how the tail
// is split, which item may be a folder, and where "list.txt" and the
// current directory come in.
#include "playlist_fixture.h"

#include "playlist/startup_entries.h"
#include "playlist/split_command_line.h"
#include "playlist/narrow_path.h"
#include "playlist/store.h"

namespace {

using Items = std::vector<std::string>;

TEST(CommandLineSplitTest, SplitsAsTheTailSays)
{
    struct Case {
        const char *tail;
        Items items;
    };
    const Case cases[] = {
        {"", {}},
        {" ", {}},
        {"   ", {}},
        {"C:\\a.mid", {"C:\\a.mid"}},
        {"  C:\\a.mid   C:\\b.wav  ", {"C:\\a.mid", "C:\\b.wav"}},
        {"E:\\My Music", {"E:\\My", "Music"}},
        {"\"E:\\My Music\"", {"E:\\My Music"}},
        {"\" E:\\My Music \"", {" E:\\My Music "}},
        {"\"\"", {""}},
        {"\"", {""}},
        {"\"x\"", {"x"}},
        // The shell quotes each name that holds a space, and only those.
        {"\"E:\\a b\\x.mp3\" \"E:\\y.mp3\"", {"E:\\a b\\x.mp3", "E:\\y.mp3"}},
        {"\"E:\\a b\\x.mp3\" E:\\y.mp3  \"C:\\c d.wav\"", {"E:\\a b\\x.mp3", "E:\\y.mp3", "C:\\c d.wav"}},
        {"\"C:\\My Music\\\"", {"C:\\My Music\\"}},
        {"\"C:\\My Music\\\" C:\\x.mp3", {"C:\\My Music\\", "C:\\x.mp3"}},
        {"E:\\\"My Music\"\\a.mp3", {"E:\\My Music\\a.mp3"}},
        {"\"\" x", {"", "x"}},
        {"\"\"\"", {""}},
        {"\"a\"b\"", {"ab"}},
        {"a\"\"b", {"ab"}},
        {"\"a b", {"a b"}},
        {"a b\"", {"a", "b"}},
        {"\"a\tb\" c", {"a\tb", "c"}},
        {"a\tb c", {"a\tb", "c"}},
        {"\t", {"\t"}},
        // "表" and "ソ" end in the byte 0x5C; "\x81\x40" is the wide space.
        {"\x95\x5C \x83\x5C\x81\x40x", {"\x95\x5C", "\x83\x5C\x81\x40x"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SplitCommandLine(c.tail), c.items) << "[" << c.tail << "]";
}

TEST(CommandLineSplitTest, HundredTwentyTokens)
{
    std::string tail;
    Items expected;
    for (int i = 0; i < 120; ++i) {
        expected.push_back("C:\\t" + std::to_string(i) + ".wav");
        tail += expected.back() + (i % 2 ? " " : "   ");
    }
    EXPECT_EQ(SplitCommandLine(tail.c_str()), expected);
}

class CommandLineTest : public PlaylistFixture {
  protected:
    void SetUp() override
    {
        PlaylistFixture::SetUp();
        music = folder / "music";
        MakeFolder(music);
        Touch(music + "\\b.mp3");
        Touch(music + "\\a.mid");
        scanned = {music + "\\a.mid", music + "\\b.mp3"};
    }
    TempDir folder;
    std::string music;
    Items scanned;
};

TEST_F(CommandLineTest, ItemsFillThePlaylist)
{
    std::string spaced = folder / "my music";
    MakeFolder(spaced);
    Touch(spaced + "\\c.wav");
    WriteBytes(folder / "list.txt", "C:\\from list.wav\r\n");
    std::string D = folder.path() + "\\";

    struct Case {
        std::string tail;
        Items entries;
    };
    const Case cases[] = {
        {music + " C:\\x.mp3", {scanned[0], scanned[1], "C:\\x.mp3"}},
        {music + "\\ C:\\x.mp3", {scanned[0], scanned[1], "C:\\x.mp3"}},
        // Every folder among the items is scanned, wherever it stands.
        {"C:\\x.mp3 " + music, {"C:\\x.mp3", scanned[0], scanned[1]}},
        {music + " " + music, {scanned[0], scanned[1], scanned[0], scanned[1]}},
        {"C:\\x.mp3 \"" + spaced + "\" " + music, {"C:\\x.mp3", spaced + "\\c.wav", scanned[0], scanned[1]}},
        {"\"" + music + "\"", {scanned[0], scanned[1]}},
        {"\"" + spaced + "\"", {spaced + "\\c.wav"}},
        {spaced, {folder / "my", "music"}},
        {"\"E:\\a b\\x.mp3\" \"E:\\y.mp3\"", {"E:\\a b\\x.mp3", "E:\\y.mp3"}},
        {"\"\"", {""}},
        {"\"", {""}},
        // Arguments that name nothing: neither "list.txt" nor the folder.
        {"   ", {}},
        {"relative.wav", {"relative.wav"}},
        {"\"" + music + "\" C:\\x.mp3", {scanned[0], scanned[1], "C:\\x.mp3"}},
    };
    for (const Case &c : cases) {
        ClearPlaylist();
        AddStartupEntries(WidenText(c.tail.c_str()).c_str(), D.c_str());
        EXPECT_EQ(Entries(), c.entries) << "[" << c.tail << "]";
    }
}

// Which folders count follows the one rule (tests/playlist/folder_test):
// here, that the first item asks it, so a hidden folder is scanned.
TEST_F(CommandLineTest, MarkedFolderIsStillScanned)
{
    ASSERT_TRUE(SetFileAttributesA(music.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    DWORD attributes = GetFileAttributesA(music.c_str());
    ASSERT_NE(attributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    AddStartupEntries(WidenText((music + " C:\\x.mp3").c_str()).c_str(), "");
    EXPECT_EQ(Entries(), (Items{scanned[0], scanned[1], "C:\\x.mp3"})) << "attributes " << attributes;
    SetFileAttributesA(music.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CommandLineTest, TakesItemsWhileFewerThanNinetyNine)
{
    std::string tail;
    Items tokens;
    for (int i = 0; i < 120; ++i) {
        tokens.push_back("C:\\t" + std::to_string(i) + ".wav");
        tail += tokens.back() + " ";
    }
    AddStartupEntries(WidenText(tail.c_str()).c_str(), "");
    EXPECT_EQ(Entries(), Items(tokens.begin(), tokens.begin() + 99));

    // A first folder that fills the list leaves no room for the rest.
    std::string big = folder / "big";
    MakeFolder(big);
    for (int i = 0; i < 120; ++i)
        Touch(big + "\\" + std::to_string(i) + ".mid");
    Touch(big + "\\z.wav");
    ClearPlaylist();
    AddStartupEntries(WidenText((big + " C:\\after.mp3").c_str()).c_str(), "");
    std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 100u);
    EXPECT_EQ(entries.back(), big + "\\z.wav");
}

TEST_F(CommandLineTest, WithoutArgumentsTheListFileComesFirst)
{
    std::string D = music + "\\";
    WriteBytes(D + "list.txt", "C:\\one.wav\r\n" + music + "\r\n");
    AddStartupEntries(L"", D.c_str());
    EXPECT_EQ(Entries(), (Items{"C:\\one.wav", scanned[0], scanned[1]}));
}

TEST_F(CommandLineTest, WithoutArgumentsOrListTheDirectoryIsScanned)
{
    std::string D = music + "\\";
    Touch(D + "c.wma");
    Touch(D + "d.mid");
    enum ListKind { NoList, EmptyList, ListIsAFolder };
    struct Case {
        const char *name;
        ListKind list;
    };
    const Case cases[] = {{"no list file", NoList}, {"empty list file", EmptyList}, {"list folder", ListIsAFolder}};
    for (const Case &c : cases) {
        DeleteFileA((D + "list.txt").c_str());
        RemoveDirectoryA((D + "list.txt").c_str());
        if (c.list == EmptyList)
            WriteBytes(D + "list.txt", "");
        if (c.list == ListIsAFolder)
            MakeFolder(D + "list.txt");
        ClearPlaylist();
        AddStartupEntries(L"", D.c_str());
        EXPECT_EQ(Entries(), PlatformScan(D)) << c.name;
        EXPECT_EQ(Sorted(Entries()), Prefixed(D, {"a.mid", "b.mp3", "c.wma", "d.mid"})) << c.name;
    }
}

TEST_F(CommandLineTest, WithoutArgumentsAndTooLongADirectoryNothingIsLookedAt)
{
    // An empty directory text stands for a current directory too long for
    // a path buffer: neither a list file nor a folder is looked into.
    ASSERT_TRUE(SetCurrentDirectoryA(music.c_str()));
    WriteBytes(music + "\\list.txt", "C:\\one.wav\r\n");
    AddStartupEntries(L"", "");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
    EXPECT_EQ(PlaylistCount(), 0);
}

TEST_F(CommandLineTest, DriveRootDirectoryGetsNoSecondBackslash)
{
    if (FileExists("C:\\list.txt"))
        GTEST_SKIP() << "C:\\list.txt belongs to someone else";
    WriteBytes("C:\\list.txt", "C:\\from the root list.wav\r\n");
    AddStartupEntries(L"", "C:\\");
    DeleteFileA("C:\\list.txt");
    EXPECT_EQ(Entries(), (Items{"C:\\from the root list.wav"}));
}

TEST_F(CommandLineTest, DirectoryTooLongForTheListFileIsStillScanned)
{
    // D is 255 bytes: D + "list.txt" would be 263, D + "*.mid" is 260.
    std::string D = folder.path() + "\\";
    D += std::string(254 - D.size(), 'd');
    std::wstring wide(D.begin(), D.end());
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    D += "\\";
    ASSERT_EQ(D.size(), 255u);
    for (const std::wstring name : {L"list.txt", L"a.mid", L"long.mid"}) {
        std::wstring path = wide + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written;
        WriteFile(file, "C:\\one.wav\r\n", 12, &written, nullptr);
        CloseHandle(file);
    }
    AddStartupEntries(L"", D.c_str());
    EXPECT_EQ(Entries(), (Items{D + "a.mid"}));
}

// ---- Through start-up ----------------------------------------------------------

// Start-up runs the real track start afterwards; the recorder answers every
// MCI command, so the ".wav" entries used here all stay in the list.
class CommandLineStartupTest : public PlayerTest {};

TEST_F(CommandLineStartupTest, FillsFromTheCommandLine)
{
    MciRecorder mci;
    TempDir folder;
    WriteBytes(folder / "list.txt", "C:\\from list.wav\r\n");
    StartTestPlayer(folder.path(), "C:\\one.wav  C:\\two.wav");
    EXPECT_EQ(player.playlist, (Items{"C:\\one.wav", "C:\\two.wav"}));
}

TEST_F(CommandLineStartupTest, FillsFromTheListFileInTheCurrentDirectory)
{
    MciRecorder mci;
    TempDir folder;
    WriteBytes(folder / "list.txt", "C:\\from list.wav\r\n");
    Touch(folder / "a.wav");
    StartTestPlayer(folder.path());
    EXPECT_EQ(player.playlist, (Items{"C:\\from list.wav"}));
}

TEST_F(CommandLineStartupTest, ScansTheCurrentDirectoryWithoutAList)
{
    MciRecorder mci;
    TempDir folder;
    // Named so that no order but the patterns' gives this list; the four
    // kinds of old come first, in their order.
    for (const char *name : {"a.m4a", "b.opus", "c.ogg", "d.flac", "e.wma", "f.mp3", "g.wav", "h.mid", "i.txt"})
        Touch(folder / name);
    StartTestPlayer(folder.path());
    std::string D = folder.path() + "\\";
    EXPECT_EQ(player.playlist, (Items{D + "h.mid", D + "g.wav", D + "f.mp3", D + "e.wma", D + "d.flac", D + "c.ogg",
                                      D + "b.opus", D + "a.m4a"}));
}

TEST_F(CommandLineStartupTest, StartsTheFirstTrackWhenAnythingWasFound)
{
    MciRecorder mci;
    TempDir folder;
    StartTestPlayer(folder.path(), "C:\\one.wav");
    bool opened = false;
    for (const std::string &command : mci.Commands())
        opened = opened || command.find("C:\\one.wav") != std::string::npos;
    EXPECT_TRUE(opened);
}

TEST_F(CommandLineStartupTest, NothingFoundStartsNoTrack)
{
    MciRecorder mci;
    TempDir folder;
    Touch(folder / "readme.txt");
    StartTestPlayer(folder.path());
    EXPECT_TRUE(player.playlist.empty());
    for (const std::string &command : mci.Commands())
        EXPECT_NE(command.rfind("open", 0), 0u) << command;
}

} // namespace
