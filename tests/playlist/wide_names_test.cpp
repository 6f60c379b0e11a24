// Names as the file system and the shell hand them over, in their wide
// form: the command-line tail cut by characters, and the narrow path the
// rest of the program gets for a name code page 932 cannot hold.
#include "playlist_fixture.h"

#include "playlist/startup_entries.h"
#include "playlist/command_tail.h"
#include "playlist/list_file.h"
#include "playlist/narrow_path.h"
#include "playlist/store.h"
#include "playlist/scan_folder.h"

namespace {

using Items = std::vector<std::string>;

// ---- The command-line tail ---------------------------------------------------

TEST(CommandTailTest, SkipsTheProgramNameByCharacters)
{
    struct Case {
        const wchar_t *commandLine;
        const wchar_t *tail;
    };
    const Case cases[] = {
        {L"x.exe a.mid b.wav", L"a.mid b.wav"},
        {L"x.exe \u97F3\u697D.mp3 b.mid", L"\u97F3\u697D.mp3 b.mid"},
        {L"\"C:\\Program Files\\x.exe\" a.mid", L"a.mid"},
        {L"\"C:\\\u97F3\u697D\\x.exe\"  \"E:\\My Music\"", L"\"E:\\My Music\""},
        {L"C:\\\u97F3\u697D\\x.exe \u8868.wav", L"\u8868.wav"},
        // Half-width katakana ｱ is the single byte 0xB1 in code page 932.
        {L"x.exe \uFF71.wav", L"\uFF71.wav"},
        {L"x.exe\t\t a.mid\tb", L"a.mid\tb"},
        {L"x.exe", L""},
        {L"x.exe   ", L""},
        {L"\"x.exe\"", L""},
        {L"\"C:\\a b\\x.exe", L""},
        {L"\"x.exe\"a.mid", L"a.mid"},
        {L"", L""},
        // The wide space is a character of the name, not a blank.
        {L"x.exe \u3000a.mid", L"\u3000a.mid"},
    };
    int number = 0;
    for (const Case &c : cases)
        EXPECT_EQ(std::wstring(CommandTail(c.commandLine)), c.tail) << "case " << number++;
}

// ---- Wide names into narrow paths --------------------------------------------

// A file written through its wide name.
void TouchWide(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
}

bool SameFile(const std::string &one, const std::wstring &other)
{
    auto identity = [](HANDLE file, BY_HANDLE_FILE_INFORMATION &info) {
        bool read = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return read;
    };
    BY_HANDLE_FILE_INFORMATION a, b;
    return identity(CreateFileA(one.c_str(), 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr), a) &&
           identity(CreateFileW(other.c_str(), 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr), b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexLow == b.nFileIndexLow &&
           a.nFileIndexHigh == b.nFileIndexHigh;
}

struct NameCase {
    const wchar_t *name;
    const char *title; // "" when the path itself converts
};
// Names that code page 932 holds keep their own path; the rest go by their
// short form, titled with "?" for what cannot be shown.
const NameCase NameCases[] = {
    {L"plain.wav", ""},
    {L"\u65E5\u672C\u8A9E\u306E\u66F2.wav", ""}, // 日本語の曲
    {L"\u8868.wav", ""},                         // 表 ends in 0x5C
    {L"R&B.wav", ""},
    {L"Caf\u00E9.wav", "Caf?.wav"},
    {L"\uD55C\uAD6D\uC5B4.wav", "???.wav"},                        // 한국어
    // Ελληνικά: the Greek letters are there, but not ά with its accent.
    {L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC.wav", "\x83\xA3\x83\xC9\x83\xC9\x83\xC5\x83\xCB\x83\xC7\x83\xC8?.wav"},
    {L"\U0001F3B5.wav", nullptr},                                 // an emoji: any number of "?"
    {L"\u301C.wav", "?.wav"},                                     // 〜
    {L"yen\u00A5sign.wav", "yen?sign.wav"},
};

TEST(NarrowPathTest, EveryNameGetsAPathToTheSameFile)
{
    TempDir folder;
    std::wstring base = WidenText(folder.path().c_str()) + L"\\";
    for (const NameCase &c : NameCases) {
        std::wstring wide = base + c.name;
        TouchWide(wide);
        NarrowPath narrow;
        ASSERT_TRUE(MakeNarrowPath(wide, narrow)) << narrow.path;
        SCOPED_TRACE(narrow.path);
        EXPECT_TRUE(SameFile(narrow.path, wide));
        if (c.title && !*c.title) {
            EXPECT_EQ(WidenText(narrow.path.c_str()), wide);
            EXPECT_EQ(narrow.title, "");
        } else {
            // Never a look-alike spelling, never a stray backslash.
            EXPECT_EQ(narrow.path.compare(0, 3, folder.path().substr(0, 3)), 0);
            EXPECT_EQ(narrow.title.find('\\'), std::string::npos);
            if (c.title) {
                EXPECT_EQ(narrow.title, c.title);
            } else {
                EXPECT_EQ(narrow.title.substr(narrow.title.size() - 4), ".wav");
                EXPECT_EQ(narrow.title[0], '?');
            }
        }
    }
}

TEST(NarrowPathTest, ANameThatDoesNotExistGoesOnlyAsItself)
{
    NarrowPath narrow;
    EXPECT_TRUE(MakeNarrowPath(L"C:\\nowhere\\\u97F3.wav", narrow));
    EXPECT_EQ(narrow.path, "C:\\nowhere\\\x89\xB9.wav");
    EXPECT_FALSE(MakeNarrowPath(L"C:\\nowhere\\Caf\u00E9.wav", narrow));
    EXPECT_EQ(narrow.path, "");
    EXPECT_TRUE(MakeNarrowPath(L"", narrow));
    EXPECT_EQ(narrow.path, "");
}

// A file literally named like another's short alias: the alias opens it,
// which is the wrong file, so the other is left out.
TEST(NarrowPathTest, AShortNameThatOpensAnotherFileIsRefused)
{
    TempDir folder;
    std::wstring base = WidenText(folder.path().c_str()) + L"\\";
    std::wstring cafe = base + L"Caf\u00E9.wav";
    TouchWide(cafe);
    wchar_t shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(cafe.c_str(), shortPath, MAX_PATH), 0u);
    std::wstring alias = shortPath;
    alias = alias.substr(alias.rfind(L'\\') + 1);
    ASSERT_NE(alias, L"Caf\u00E9.wav");
    // Move the file away, put another one under the alias's name, bring the
    // file back: its short name is now taken by the other file.
    std::wstring aside = base + L"aside.tmp";
    ASSERT_TRUE(MoveFileW(cafe.c_str(), aside.c_str()));
    TouchWide(base + alias);
    ASSERT_TRUE(MoveFileW(aside.c_str(), cafe.c_str()));
    NarrowPath narrow;
    wchar_t again[MAX_PATH];
    bool collides = GetShortPathNameW(cafe.c_str(), again, MAX_PATH) > 0 && base + alias == again;
    if (collides) {
        EXPECT_FALSE(MakeNarrowPath(cafe, narrow)) << narrow.path;
    } else {
        // The platform gave it another alias: that one must open it.
        ASSERT_TRUE(MakeNarrowPath(cafe, narrow));
        EXPECT_TRUE(SameFile(narrow.path, cafe));
    }
}

// ---- The folder scan and the command line ------------------------------------

class WideNamesTest : public PlaylistFixture {
  protected:
    void SetUp() override
    {
        PlaylistFixture::SetUp();
        base = WidenText(folder.path().c_str()) + L"\\";
        for (const NameCase &c : NameCases)
            TouchWide(base + c.name);
    }
    TempDir folder;
    std::wstring base;
};

TEST_F(WideNamesTest, ScanGivesEveryFileOncePathsThatOpenItAndItsOwnName)
{
    ScanFolder(folder.path().c_str());
    ASSERT_EQ(PlaylistCount(), static_cast<int>(sizeof NameCases / sizeof NameCases[0]));
    std::vector<std::wstring> seen;
    for (int i = 0; i < PlaylistCount(); ++i) {
        std::string entry = PlaylistEntry(i);
        SCOPED_TRACE(entry);
        ASSERT_LE(entry.size(), static_cast<size_t>(MAX_PATH));
        for (const NameCase &c : NameCases) {
            if (!SameFile(entry, base + c.name))
                continue;
            seen.push_back(c.name);
            if (c.title && !*c.title) {
                EXPECT_EQ(entry, folder.path() + "\\" + std::string(EntryTitle(i)));
                EXPECT_EQ(WidenText(EntryTitle(i)), c.name);
            } else if (c.title) {
                EXPECT_STREQ(EntryTitle(i), c.title);
            }
        }
    }
    EXPECT_EQ(seen.size(), sizeof NameCases / sizeof NameCases[0]);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
}

TEST_F(WideNamesTest, CommandLineItemsAreNamedAsTheyOpen)
{
    std::wstring music = base + L"M\u00FAsica";
    ASSERT_TRUE(CreateDirectoryW(music.c_str(), nullptr));
    TouchWide(music + L"\\a.mid");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.path().c_str()));

    AddStartupEntries(L"Caf\u00E9.wav \u8868.wav nothing\u00E9.wav C:\\x.mp3", "");
    Items entries = Entries();
    ASSERT_EQ(entries.size(), 3u) << "a name that names nothing and cannot be held is left out";
    EXPECT_TRUE(SameFile(entries[0], base + L"Caf\u00E9.wav"));
    EXPECT_STREQ(EntryTitle(0), "Caf?.wav");
    EXPECT_EQ(entries[1], "\x95\x5C.wav");
    EXPECT_STREQ(EntryTitle(1), "\x95\x5C.wav");
    EXPECT_EQ(entries[2], "C:\\x.mp3");

    // One whole-quoted path, and a first item that is a folder.
    struct Case {
        std::wstring tail;
        std::wstring file;
        const char *title;
    };
    const Case cases[] = {
        {L"\"" + base + L"\u301C.wav\"", base + L"\u301C.wav", "?.wav"},
        {music + L" C:\\x.mp3", music + L"\\a.mid", "a.mid"},
    };
    for (const Case &c : cases) {
        ClearPlaylist();
        AddStartupEntries(c.tail.c_str(), "");
        entries = Entries();
        ASSERT_GE(entries.size(), 1u);
        EXPECT_TRUE(SameFile(entries[0], c.file)) << entries[0];
        EXPECT_STREQ(EntryTitle(0), c.title);
    }
    EXPECT_EQ(Entries().back(), "C:\\x.mp3");
}

// An exported list names a file outside the code page by its short path;
// read again, the entry keeps that path and shows the file's own name.
TEST_F(WideNamesTest, ListEntriesByShortPathShowTheirOwnNames)
{
    std::wstring cafe = base + L"Caf\u00E9.mp3";
    TouchWide(cafe);
    NarrowPath made;
    ASSERT_TRUE(MakeNarrowPath(cafe, made));
    ASSERT_FALSE(made.title.empty()) << "the name converted: no short form to read back";
    std::string plain = folder / "plain.wav";
    WriteBytes(plain, "x");
    // A folder by its short form, holding a name the code page holds.
    std::wstring musique = base + L"Musique-Caf\u00E9";
    ASSERT_TRUE(CreateDirectoryW(musique.c_str(), nullptr));
    TouchWide(musique + L"\\song.wav");
    NarrowPath song;
    ASSERT_TRUE(MakeNarrowPath(musique + L"\\song.wav", song));

    std::string list = folder / "list.txt";
    WriteBytes(list, made.path + "\r\n" + plain + "\r\n" + song.path + "\r\nC:\\gone\\GONE~1.MP3\r\n");
    LoadPlaylistFile(list.c_str());
    ASSERT_EQ(Entries(), (Items{made.path, plain, song.path, "C:\\gone\\GONE~1.MP3"}));
    EXPECT_STREQ(EntryTitle(0), "Caf?.mp3");
    EXPECT_STREQ(EntryTitle(1), "plain.wav");
    EXPECT_STREQ(EntryTitle(2), "song.wav");
    EXPECT_STREQ(EntryTitle(3), "GONE~1.MP3");
}

} // namespace
