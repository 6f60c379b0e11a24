// Folder scans on real folders: which names are taken, in which order, and
// where the limit of 99 entries stops a listing.
#include "playlist_fixture.h"
#include "playlist/store.h"
#include "playlist/scan_folder.h"

#include <cstring>

namespace {

class ScanFolderTest : public PlaylistFixture {};

// A folder whose path (without a trailing backslash) is exactly `length`
// bytes long, made with the wide API so that no narrow limit gets in the way.
std::string MakeFolderOfLength(const TempDir &temp, size_t length)
{
    std::string path = temp.path() + "\\";
    path += std::string(length - path.size(), 'd');
    std::wstring wide(path.begin(), path.end());
    CreateDirectoryW(wide.c_str(), nullptr);
    return path;
}

void TouchWide(const std::string &path)
{
    std::wstring wide(path.begin(), path.end());
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path.size() << " bytes: " << path;
    CloseHandle(file);
}

TEST_F(ScanFolderTest, BaseGetsOneBackslashWithOrWithoutTrailingOne)
{
    TempDir folder;
    Touch(folder / "a.mid");
    Touch(folder / "b.mp3");
    std::string base = folder.path() + "\\";

    ScanFolder(folder.path().c_str());
    std::vector<std::string> withoutBackslash = Entries();
    ClearPlaylist();
    ScanFolder(base.c_str());
    std::vector<std::string> withBackslash = Entries();

    EXPECT_EQ(withoutBackslash, (std::vector<std::string>{base + "a.mid", base + "b.mp3"}));
    EXPECT_EQ(withBackslash, withoutBackslash);
}

TEST_F(ScanFolderTest, GroupsMatchesByPatternInPatternOrder)
{
    TempDir folder;
    for (const char *name : {"b.mp3", "a.mid", "x.wav", "c.wma", "SONG.MID", "z.Wav", "readme.txt", "cover.bmp",
                             "noextension", "d.mp3"})
        Touch(folder / name);
    std::string base = folder.path() + "\\";

    ScanFolder(folder.path().c_str());

    std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 7u);
    // Each group as the platform lists it; the groups in pattern order.
    EXPECT_EQ(entries, PlatformScan(base));
    EXPECT_EQ(Sorted({entries[0], entries[1]}), Prefixed(base, {"SONG.MID", "a.mid"}));
    EXPECT_EQ(Sorted({entries[2], entries[3]}), Prefixed(base, {"x.wav", "z.Wav"}));
    EXPECT_EQ(Sorted({entries[4], entries[5]}), Prefixed(base, {"b.mp3", "d.mp3"}));
    EXPECT_EQ(entries[6], base + "c.wma");
}

TEST_F(ScanFolderTest, ThreeFilesComeInPatternOrder)
{
    TempDir folder;
    for (const char *name : {"b.mp3", "a.mid", "x.wav"})
        Touch(folder / name);
    ScanFolder(folder.path().c_str());
    EXPECT_EQ(Entries(), Prefixed(folder.path() + "\\", {"a.mid", "x.wav", "b.mp3"}));
}

TEST_F(ScanFolderTest, AppendsAfterHeldEntries)
{
    TempDir folder;
    Touch(folder / "a.wma");
    AddEntry("C:\\first.wav");
    ScanFolder(folder.path().c_str());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\first.wav", folder / "a.wma"}));
}

TEST_F(ScanFolderTest, SubfolderNamedLikeAFileIsAnEntryButNotEntered)
{
    TempDir folder;
    MakeFolder(folder / "x.mid");
    Touch(folder / "x.mid\\inner.mid");
    Touch(folder / "x.mid\\inner.wav");
    ScanFolder(folder.path().c_str());
    EXPECT_EQ(Entries(), (std::vector<std::string>{folder / "x.mid"}));
}

TEST_F(ScanFolderTest, HiddenSystemAndReadOnlyFilesAreAppended)
{
    TempDir folder;
    Touch(folder / "hidden.mid");
    Touch(folder / "system.wav");
    Touch(folder / "locked.mp3");
    ASSERT_TRUE(SetFileAttributesA((folder / "hidden.mid").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((folder / "system.wav").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((folder / "locked.mp3").c_str(), FILE_ATTRIBUTE_READONLY));
    ScanFolder(folder.path().c_str());
    EXPECT_EQ(Entries(), Prefixed(folder.path() + "\\", {"hidden.mid", "system.wav", "locked.mp3"}));
}

TEST_F(ScanFolderTest, NothingToFindLeavesTheListAsItWas)
{
    TempDir folder;
    Touch(folder / "readme.txt");
    Touch(folder / "a.mid.txt");
    AddEntry("C:\\kept.wav");
    const std::string missing = folder / "missing";
    for (const std::string &scanned : {folder.path(), missing, std::string(300, 'a'), std::string()}) {
        ScanFolder(scanned.c_str());
        EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\kept.wav"})) << scanned;
    }
}

TEST_F(ScanFolderTest, ScanningTwiceAppendsEveryFileTwice)
{
    TempDir folder;
    for (const char *name : {"a.mid", "b.mid", "c.wav"})
        Touch(folder / name);
    ScanFolder(folder.path().c_str());
    std::vector<std::string> once = Entries();
    ScanFolder(folder.path().c_str());
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(once.size(), 3u);
    EXPECT_EQ(Entries(), twice);
}

TEST_F(ScanFolderTest, LimitStopsListingsButNotTheirFirstMatch)
{
    TempDir folder;
    for (const char *name : {"a.mid", "b.mid", "c.mid", "a.wav", "b.wav", "a.mp3"})
        Touch(folder / name);
    std::string base = folder.path() + "\\";
    std::vector<std::string> mid = PlatformMatches(base, "*.mid");
    std::vector<std::string> wav = PlatformMatches(base, "*.wav");
    std::vector<std::string> mp3 = PlatformMatches(base, "*.mp3");
    ASSERT_EQ(mid.size(), 3u);
    ASSERT_EQ(wav.size(), 2u);

    struct Case {
        int held;
        std::vector<std::string> appended;
    };
    const Case cases[] = {
        {0, {mid[0], mid[1], mid[2], wav[0], wav[1], mp3[0]}},
        {96, {mid[0], mid[1], mid[2], wav[0], mp3[0]}},
        {97, {mid[0], mid[1], wav[0], mp3[0]}},
        {98, {mid[0], wav[0], mp3[0]}},
        {99, {mid[0], wav[0], mp3[0]}},
        {120, {mid[0], wav[0], mp3[0]}},
    };
    for (const Case &c : cases) {
        ClearPlaylist();
        AddNumberedEntries(c.held);
        ScanFolder(folder.path().c_str());
        std::vector<std::string> entries = Entries();
        ASSERT_GE(entries.size(), static_cast<size_t>(c.held));
        EXPECT_EQ(std::vector<std::string>(entries.begin() + c.held, entries.end()), c.appended)
            << "with " << c.held << " entries held";
    }
}

TEST_F(ScanFolderTest, HundredTwentyMidiFilesAndSomeMp3sGiveHundredEntries)
{
    TempDir folder;
    for (int i = 0; i < 120; ++i)
        Touch(folder / ("song" + std::to_string(i) + ".mid"));
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        Touch(folder / name);
    std::string base = folder.path() + "\\";
    std::vector<std::string> mid = PlatformMatches(base, "*.mid");
    std::vector<std::string> mp3 = PlatformMatches(base, "*.mp3");

    ScanFolder(folder.path().c_str());

    std::vector<std::string> expected(mid.begin(), mid.begin() + 99);
    expected.push_back(mp3[0]);
    EXPECT_EQ(Entries(), expected);
}

TEST_F(ScanFolderTest, DriveRootKeepsItsSingleBackslash)
{
    std::string name = "tw_root_" + std::to_string(GetCurrentProcessId()) + ".wma";
    Touch("C:\\" + name);
    ScanFolder("C:\\");
    DeleteFileA(("C:\\" + name).c_str());

    std::vector<std::string> entries = Entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "C:\\" + name), entries.end());
    for (const std::string &entry : entries) {
        ASSERT_GT(entry.size(), 3u);
        EXPECT_EQ(entry.compare(0, 3, "C:\\"), 0) << entry;
        EXPECT_EQ(entry.find('\\', 3), std::string::npos) << entry;
    }
}

TEST_F(ScanFolderTest, DoubleByteNamesKeepTheirBytes)
{
    if (!PlatformStoresDoubleByteNames())
        GTEST_SKIP() << "this platform's file system cannot hold double-byte names";
    TempDir folder;
    // "曲集" and "歌.mid" in code page 932.
    std::string subfolder = folder / "\x8B\xC8\x8F\x57";
    MakeFolder(subfolder);
    Touch(subfolder + "\\\x89\xCC.mid");
    ScanFolder(subfolder.c_str());
    EXPECT_EQ(Entries(), (std::vector<std::string>{subfolder + "\\\x89\xCC.mid"}));
}

TEST_F(ScanFolderTest, FolderWhoseNameEndsInATrailByte0x5CIsScannedInside)
{
    if (!PlatformStoresDoubleByteNames())
        GTEST_SKIP() << "this platform's file system cannot hold double-byte names";
    TempDir folder;
    // "表" is 95 5C: the folder still needs its own backslash before a pattern.
    std::string subfolder = folder / "\x95\x5C";
    MakeFolder(subfolder);
    Touch(subfolder + "\\a.mid");
    Touch(folder / "\x95\x5C" "b.mid"); // what a search beside the folder would find
    ScanFolder(subfolder.c_str());
    EXPECT_EQ(Entries(), (std::vector<std::string>{subfolder + "\\a.mid"}));
}

TEST_F(ScanFolderTest, NamesThatWouldMakeTooLongAPathAreSkipped)
{
    TempDir temp;
    // base is 250 bytes with its backslash: "a.mid" makes 255, a 10-byte
    // name 260 (the longest path that fits), an 11-byte name 261.
    std::string folder = MakeFolderOfLength(temp, 249);
    std::string base = folder + "\\";
    ASSERT_EQ(base.size(), 250u);
    TouchWide(base + "a.mid");
    TouchWide(base + "123456.mid");
    TouchWide(base + "1234567.mid");
    TouchWide(base + "12345678901234567890.wav");
    TouchWide(base + "b.wav");

    ScanFolder(folder.c_str());

    std::vector<std::string> entries = Entries();
    EXPECT_EQ(Sorted(entries), Prefixed(base, {"123456.mid", "a.mid", "b.wav"}));
    for (const std::string &entry : entries)
        EXPECT_LE(entry.size(), static_cast<size_t>(MAX_PATH));
}

TEST_F(ScanFolderTest, SkippedFirstMatchLeavesTheNextToTheLimitTest)
{
    TempDir temp;
    std::string folder = MakeFolderOfLength(temp, 249);
    std::string base = folder + "\\";
    TouchWide(base + "12345678901234567890.mid");
    TouchWide(base + "a.mid");
    TouchWide(base + "b.wav");
    std::vector<std::string> mid = PlatformMatches(base, "*.mid");

    AddNumberedEntries(99);
    ScanFolder(folder.c_str());

    std::vector<std::string> entries = Entries();
    ASSERT_GE(entries.size(), 99u);
    std::vector<std::string> appended(entries.begin() + 99, entries.end());
    // When the too-long name is listed first, the short one is a further
    // match and meets the full list; listed second, the first match went in.
    bool longNameFirst = mid.empty() || mid[0] != base + "a.mid";
    std::vector<std::string> expected = longNameFirst ? Prefixed(base, {"b.wav"}) : Prefixed(base, {"a.mid", "b.wav"});
    EXPECT_EQ(appended, expected);
}

TEST_F(ScanFolderTest, FolderTooLongForASearchTextAddsNothing)
{
    TempDir temp;
    // base + "*.mid" would be 261 bytes.
    std::string folder = MakeFolderOfLength(temp, 255);
    TouchWide(folder + "\\a.mid");
    ScanFolder(folder.c_str());
    ScanFolder((folder + "\\").c_str());
    EXPECT_EQ(PlaylistCount(), 0);
}

} // namespace
