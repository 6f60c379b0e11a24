// List files on real files: how lines become entries, and how a save
// replaces what was on disk only when it has been written completely.
#include "playlist_fixture.h"
#include "playlist/store.h"
#include "playlist/list_file.h"

#include <cstdint>

namespace {

class ListFileTest : public PlaylistFixture {};

std::vector<std::string> Numbered(const std::string &prefix, int count)
{
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i)
        items.push_back(prefix + std::to_string(i) + ".wav");
    return items;
}

std::string Lines(const std::vector<std::string> &items, const std::string &end = "\r\n")
{
    std::string text;
    for (const std::string &item : items)
        text += item + end;
    return text;
}

TEST_F(ListFileTest, LinesBecomeEntriesAsTheyStand)
{
    const std::string x511(511, 'x'), x89(89, 'x');
    struct Case {
        const char *name;
        std::string bytes;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"LF", "C:\\a.mid\nC:\\b.wav\n", {"C:\\a.mid", "C:\\b.wav"}},
        {"CR LF", "C:\\a.mid\r\nC:\\b.wav\r\n", {"C:\\a.mid", "C:\\b.wav"}},
        {"mixed line ends", "C:\\a.mid\r\nC:\\b.wav\nC:\\c.mp3\r\n", {"C:\\a.mid", "C:\\b.wav", "C:\\c.mp3"}},
        {"no final LF", "C:\\a.mid\nC:\\b.wav", {"C:\\a.mid", "C:\\b.wav"}},
        {"no final CR LF", "C:\\a.mid\r\nC:\\b.wav", {"C:\\a.mid", "C:\\b.wav"}},
        {"blank lines", "\nC:\\a.mid\n\n\r\nC:\\b.wav\n\n", {"", "C:\\a.mid", "", "", "C:\\b.wav", ""}},
        {"blanks kept", "  C:\\a.mid \r\n\tb.wav\t\n \n", {"  C:\\a.mid ", "\tb.wav\t", " "}},
        {"duplicates", "C:\\a.mid\nC:\\a.mid\r\nC:\\a.mid", {"C:\\a.mid", "C:\\a.mid", "C:\\a.mid"}},
        {"relative and double-byte", "music\\\x89\xCC.mid\r\n\x95\x5C.wav\r\n", {"music\\\x89\xCC.mid", "\x95\x5C.wav"}},
        {"empty file", "", {}},
        {"one line end", "\r\n", {""}},
        {"600-byte line, LF", std::string(600, 'x') + "\nC:\\b.wav\n", {x511, x89, "C:\\b.wav"}},
        {"600-byte line, CR LF", std::string(600, 'x') + "\r\nC:\\b.wav\r\n", {x511, x89, "C:\\b.wav"}},
        {"600-byte last line", std::string(600, 'x'), {x511, x89}},
        {"1100-byte line", std::string(1100, 'x') + "\n", {x511, x511, std::string(78, 'x')}},
        // The line feed is the 512th byte and arrives as a piece of its own.
        {"511-byte line", x511 + "\nC:\\b.wav", {x511, "", "C:\\b.wav"}},
        {"510-byte line, CR LF", std::string(510, 'x') + "\r\nC:\\b.wav", {std::string(510, 'x'), "C:\\b.wav"}},
    };
    TempDir folder;
    const std::string list = folder / "list.txt";
    for (const Case &c : cases) {
        WriteBytes(list, c.bytes);
        AddEntry("C:\\held.wav");
        LoadPlaylistFile(list.c_str());
        EXPECT_EQ(Entries(), c.entries) << c.name;
    }
}

TEST_F(ListFileTest, MissingFileEmptiesThePlaylist)
{
    TempDir folder;
    AddNumberedEntries(3);
    LoadPlaylistFile((folder / "missing.txt").c_str());
    EXPECT_EQ(PlaylistCount(), 0);
    AddNumberedEntries(3);
    LoadPlaylistFile(folder.path().c_str());
    EXPECT_EQ(PlaylistCount(), 0);
}

TEST_F(ListFileTest, StopsReadingAtNinetyNineEntries)
{
    TempDir folder;
    for (const std::string &end : {std::string("\n"), std::string("\r\n")}) {
        WriteBytes(folder / "list.txt", Lines(Numbered("C:\\n", 150), end));
        LoadPlaylistFile((folder / "list.txt").c_str());
        EXPECT_EQ(Entries(), Numbered("C:\\n", 99));
    }
}

TEST_F(ListFileTest, FolderLineIsScannedInPlace)
{
    TempDir folder;
    std::string music = folder / "music";
    MakeFolder(music);
    Touch(music + "\\a.mp3");
    Touch(music + "\\b.mid");
    Touch(music + "\\notes.txt");
    std::vector<std::string> scanned = Prefixed(music + "\\", {"b.mid", "a.mp3"});

    struct Case {
        const char *name;
        std::string bytes;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"in the middle", "C:\\1.wav\r\n" + music + "\r\nC:\\2.wav\r\n", {"C:\\1.wav", scanned[0], scanned[1], "C:\\2.wav"}},
        {"with a backslash", music + "\\\nC:\\2.wav", {scanned[0], scanned[1], "C:\\2.wav"}},
        {"last, without line end", "C:\\1.wav\n" + music, {"C:\\1.wav", scanned[0], scanned[1]}},
    };
    for (const Case &c : cases) {
        WriteBytes(folder / "list.txt", c.bytes);
        LoadPlaylistFile((folder / "list.txt").c_str());
        EXPECT_EQ(Entries(), c.entries) << c.name;
    }
}

TEST_F(ListFileTest, FolderThatFillsTheListEndsTheReading)
{
    TempDir folder;
    std::string music = folder / "music";
    MakeFolder(music);
    for (int i = 0; i < 50; ++i)
        Touch(music + "\\" + std::to_string(i) + ".mid");
    std::vector<std::string> mid = PlatformMatches(music + "\\", "*.mid");
    WriteBytes(folder / "list.txt", Lines(Numbered("C:\\n", 60)) + music + "\r\nC:\\after.wav\r\n");

    LoadPlaylistFile((folder / "list.txt").c_str());

    std::vector<std::string> expected = Numbered("C:\\n", 60);
    expected.insert(expected.end(), mid.begin(), mid.begin() + 39);
    EXPECT_EQ(Entries(), expected);
}

// Which folders count follows the one rule (tests/playlist/folder_test):
// here, that a line asks it, so a hidden folder is scanned.
TEST_F(ListFileTest, MarkedFolderIsStillScanned)
{
    TempDir folder;
    std::string marked = folder / "marked";
    MakeFolder(marked);
    Touch(marked + "\\a.mid");
    WriteBytes(folder / "list.txt", marked + "\r\n");
    ASSERT_TRUE(SetFileAttributesA(marked.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    DWORD attributes = GetFileAttributesA(marked.c_str());
    ASSERT_NE(attributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    LoadPlaylistFile((folder / "list.txt").c_str());
    EXPECT_EQ(Entries(), std::vector<std::string>{marked + "\\a.mid"}) << "attributes " << attributes;
    SetFileAttributesA(marked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ---- Saving ------------------------------------------------------------------

TEST_F(ListFileTest, SaveWritesEachEntryAndCrLf)
{
    struct Case {
        const char *name;
        std::vector<std::string> entries;
        std::string bytes;
    };
    const Case cases[] = {
        {"two entries", {"E:\\snd\\a.mid", "E:\\snd\\b.mp3"}, "E:\\snd\\a.mid\r\nE:\\snd\\b.mp3\r\n"},
        {"empty entry", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"blanks and double bytes", {" x ", "\x95\x5C\\\x89\xCC.mid"}, " x \r\n\x95\x5C\\\x89\xCC.mid\r\n"},
        {"nothing", {}, ""},
    };
    TempDir folder;
    for (const Case &c : cases) {
        player.playlist = c.entries;
        SavePlaylistFile((folder / "out.txt").c_str());
        EXPECT_EQ(ReadBytes(folder / "out.txt"), c.bytes) << c.name;
        EXPECT_EQ(Entries(), c.entries) << c.name;
        EXPECT_EQ(FolderContents(folder.path()), (std::vector<std::string>{"out.txt"})) << c.name;
    }
    EXPECT_EQ(ReadBytes(folder / "out.txt").size(), 0u);
}

TEST_F(ListFileTest, SaveOntoALongerFileLeavesNoTraceOfIt)
{
    TempDir folder;
    WriteBytes(folder / "list.txt", std::string(5000, 'o') + "\r\nold\r\n");
    player.playlist = {"C:\\a.mid"};
    SavePlaylistFile((folder / "list.txt").c_str());
    EXPECT_EQ(ReadBytes(folder / "list.txt"), "C:\\a.mid\r\n");
}

TEST_F(ListFileTest, SaveAndLoadGiveTheSameEntries)
{
    TempDir folder;
    std::vector<std::string> entries = Numbered("C:\\music\\track ", 95);
    entries.push_back(" spaced name.mp3 ");
    entries.push_back("relative\\\x89\xCC.mid");
    entries.push_back("C:\\music\\track 0.wav");
    entries.push_back(std::string(260, 'p'));
    ASSERT_EQ(entries.size(), 99u);
    player.playlist = entries;

    SavePlaylistFile((folder / "list.txt").c_str());
    ClearPlaylist();
    LoadPlaylistFile((folder / "list.txt").c_str());
    EXPECT_EQ(Entries(), entries);
}

TEST_F(ListFileTest, SavedFolderEntryIsScannedWhenLoaded)
{
    TempDir folder;
    MakeFolder(folder / "x.mid");
    Touch(folder / "x.mid\\inner.wav");
    player.playlist = {"C:\\a.wav", folder / "x.mid"};
    SavePlaylistFile((folder / "list.txt").c_str());
    LoadPlaylistFile((folder / "list.txt").c_str());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\a.wav", folder / "x.mid\\inner.wav"}));
}

TEST_F(ListFileTest, SaveFindsTheFolderPastDoubleByteCharacters)
{
    if (!PlatformStoresDoubleByteNames())
        GTEST_SKIP() << "this platform's file system cannot hold double-byte names";
    TempDir folder;
    // "表" ends in the byte 0x5C; the file still lands in `folder`.
    std::string target = folder / "\x95\x5C.txt";
    player.playlist = {"C:\\a.mid"};
    SavePlaylistFile(target.c_str());
    EXPECT_EQ(ReadBytes(target), "C:\\a.mid\r\n");
    EXPECT_EQ(FolderContents(folder.path()), (std::vector<std::string>{"\x95\x5C.txt"}));
}

TEST_F(ListFileTest, SaveToARelativePathLandsInTheCurrentDirectory)
{
    TempDir folder;
    ASSERT_TRUE(SetCurrentDirectoryA(folder.path().c_str()));
    player.playlist = {"C:\\a.mid"};
    SavePlaylistFile("relative.txt");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
    EXPECT_EQ(ReadBytes(folder / "relative.txt"), "C:\\a.mid\r\n");
    EXPECT_EQ(FolderContents(folder.path()), (std::vector<std::string>{"relative.txt"}));
}

TEST_F(ListFileTest, PathThatCannotBeWrittenWritesNothing)
{
    TempDir folder;
    MakeFolder(folder / "sub");
    WriteBytes(folder / "locked.txt", "old\r\n");
    ASSERT_TRUE(SetFileAttributesA((folder / "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    player.playlist = {"C:\\a.mid"};
    const std::string targets[] = {
        folder / "sub", folder / "locked.txt", folder / "missing\\list.txt", "Q:\\missing\\list.txt", "",
        folder / std::string(300, 'n'),
    };
    for (const std::string &target : targets) {
        SavePlaylistFile(target.c_str());
        EXPECT_EQ(FolderContents(folder.path()), (std::vector<std::string>{"locked.txt", "sub"})) << target;
        EXPECT_EQ(FolderContents(folder / "sub"), std::vector<std::string>()) << target;
    }
    EXPECT_EQ(ReadBytes(folder / "locked.txt"), "old\r\n");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\a.mid"}));
    SetFileAttributesA((folder / "locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ListFileTest, TargetThatCannotBeReplacedKeepsItsList)
{
    TempDir folder;
    const std::string list = folder / "list.txt";
    WriteBytes(list, "old\r\n");
    // Another program holds the file open and does not let it be replaced.
    HANDLE held = CreateFileA(list.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    player.playlist = {"C:\\a.mid"};
    SavePlaylistFile(list.c_str());
    CloseHandle(held);

    EXPECT_EQ(ReadBytes(list), "old\r\n");
    EXPECT_EQ(FolderContents(folder.path()), (std::vector<std::string>{"list.txt"}));
}

// ---- A write that fails part way ---------------------------------------------

// Under Wine the test is a Linux process whose file writes are its own
// write() calls. A file-size limit on the process makes them stop part way,
// as a full disk does; the limit is set and lifted with raw i386 system
// calls, since no Windows call reaches it.
long LinuxCall(long number, long a, long b, long c, long d)
{
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "0"(number), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
    return result;
}

const long LinuxRtSigaction = 174;
const long LinuxPrlimit64 = 340;
const long LinuxFileSizeLimit = 1; // RLIMIT_FSIZE
const long LinuxSignalFileSize = 25; // SIGXFSZ

struct LinuxSignalAction {
    uintptr_t handler;
    unsigned long flags;
    uintptr_t restorer;
    uint32_t mask[2];
};

struct LinuxLimit {
    uint64_t current;
    uint64_t maximum;
};

bool RunningUnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

class FileSizeLimit {
  public:
    explicit FileSizeLimit(uint64_t bytes)
    {
        // Ignored, the signal lets the write fail instead of ending the process.
        LinuxSignalAction ignore = {1, 0, 0, {0, 0}};
        if (LinuxCall(LinuxRtSigaction, LinuxSignalFileSize, reinterpret_cast<long>(&ignore),
                      reinterpret_cast<long>(&oldAction_), 8) != 0)
            return;
        LinuxLimit limit = {bytes, 0};
        if (LinuxCall(LinuxPrlimit64, 0, LinuxFileSizeLimit, 0, reinterpret_cast<long>(&oldLimit_)) != 0) {
            Restore(false);
            return;
        }
        limit.maximum = oldLimit_.maximum;
        active_ = LinuxCall(LinuxPrlimit64, 0, LinuxFileSizeLimit, reinterpret_cast<long>(&limit), 0) == 0;
        if (!active_)
            Restore(false);
    }
    ~FileSizeLimit()
    {
        if (active_)
            Restore(true);
    }
    bool active() const { return active_; }

  private:
    void Restore(bool limit)
    {
        if (limit)
            LinuxCall(LinuxPrlimit64, 0, LinuxFileSizeLimit, reinterpret_cast<long>(&oldLimit_), 0);
        LinuxCall(LinuxRtSigaction, LinuxSignalFileSize, reinterpret_cast<long>(&oldAction_), 0, 8);
    }
    bool active_ = false;
    LinuxSignalAction oldAction_ = {};
    LinuxLimit oldLimit_ = {};
};

TEST_F(ListFileTest, WriteThatFailsPartWayKeepsTheOldList)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "the file-size limit is made through Linux system calls";
    TempDir folder;
    const std::string list = folder / "list.txt";
    const std::string old = Lines(Numbered("C:\\old\\", 20));
    WriteBytes(list, old);
    player.playlist = Numbered("C:\\a much longer folder name\\new ", 99);
    ASSERT_GT(Lines(player.playlist).size(), 2048u);

    DWORD probeWritten = 0;
    BOOL probeResult;
    {
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        // The limit is real: a plain write of 2048 bytes stops at 1024.
        HANDLE probe = CreateFileA((folder / "probe.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string bytes(2048, 'p');
        probeResult = WriteFile(probe, bytes.data(), 2048, &probeWritten, nullptr);
        CloseHandle(probe);
        DeleteFileA((folder / "probe.bin").c_str());

        SavePlaylistFile(list.c_str());
    }
    EXPECT_TRUE(!probeResult || probeWritten < 2048) << "written " << probeWritten;
    EXPECT_EQ(ReadBytes(list), old);
    EXPECT_EQ(FolderContents(folder.path()), (std::vector<std::string>{"list.txt"}));
    EXPECT_EQ(Entries(), Numbered("C:\\a much longer folder name\\new ", 99));

    // Without the limit the same save goes through.
    SavePlaylistFile(list.c_str());
    EXPECT_EQ(ReadBytes(list), Lines(player.playlist));
    EXPECT_EQ(FolderContents(folder.path()), (std::vector<std::string>{"list.txt"}));
}

TEST_F(ListFileTest, WriteThatFailsPartWayOntoNoFileLeavesNone)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "the file-size limit is made through Linux system calls";
    TempDir folder;
    player.playlist = Numbered("C:\\a much longer folder name\\new ", 99);
    {
        FileSizeLimit limit(512);
        ASSERT_TRUE(limit.active());
        SavePlaylistFile((folder / "list.txt").c_str());
    }
    EXPECT_EQ(FolderContents(folder.path()), std::vector<std::string>());
}

} // namespace
