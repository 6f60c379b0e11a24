// The name shown for an entry, in the title and in the playlist menu: the
// one table of the rule. The title, the menu and the label each check once
// that they show it.
#include "playlist_fixture.h"

#include "playlist/display_name.h"
#include "playlist/store.h"

namespace {

struct NameCase {
    const char *path;
    const char *shown;
};
const NameCase NameCases[] = {
    {"C:\\snd\\a.mid", "a.mid"},
    {"D:\\songs\\a.mid", "a.mid"},
    {"a.mid", "a.mid"},             // no backslash: the whole path
    {"b.wav", "b.wav"},
    {"\\a.mid", "\\a.mid"},         // its only backslash first: the whole path
    {"\\c.mp3", "\\c.mp3"},
    {"\\\\srv\\a.mid", "a.mid"},    // a share: the last backslash counts
    {"C:\\snd\\", ""},              // ends in a backslash
    {"D:\\songs\\", ""},
    {"C:\\a\\b\\c.wav", "c.wav"},
    {"D:\\x\\y\\z.wma", "z.wma"},
    // "表" is 95 5C: its second byte is no backslash.
    {"C:\\snd\\\x95\x5C.mid", "\x95\x5C.mid"},
    {"D:\\\x95\x5C.wav", "\x95\x5C.wav"},
    {"C:\\\x95\x5C", "\x95\x5C"},
    {"\x95\x5C.mid", "\x95\x5C.mid"},
};

TEST(DisplayNameTest, TextAfterTheLastBackslash)
{
    for (const NameCase &c : NameCases)
        EXPECT_STREQ(DisplayName(c.path), c.shown) << c.path;
}

class EntryTitleTest : public PlaylistFixture {};

// An entry without a title of its own shows its path's name, whether it
// was added one by one or the list was filled in one go.
TEST_F(EntryTitleTest, EntryWithoutATitleShowsItsDisplayName)
{
    for (const NameCase &c : NameCases)
        AddEntry(c.path);
    for (int i = 0; i < PlaylistCount(); ++i)
        EXPECT_STREQ(EntryTitle(i), NameCases[i].shown) << NameCases[i].path;

    ClearPlaylist();
    for (const NameCase &c : NameCases)
        player.playlist.push_back(c.path);
    for (int i = 0; i < PlaylistCount(); ++i)
        EXPECT_STREQ(EntryTitle(i), NameCases[i].shown) << NameCases[i].path;
}

// A name the code page cannot hold is kept under its short path with a
// title of its own; the title follows the entry when others go.
TEST_F(EntryTitleTest, OwnTitleIsShownInsteadOfThePathsName)
{
    AddEntry("C:\\music\\CAF_~XBP.WAV", "Caf?.wav");
    AddEntry("C:\\music\\a.mid", "");
    AddEntry("C:\\music\\YENS~1.WAV", "yen?sign.wav");
    EXPECT_STREQ(EntryTitle(0), "Caf?.wav");
    EXPECT_STREQ(EntryTitle(1), "a.mid");
    EXPECT_STREQ(EntryTitle(2), "yen?sign.wav");
    RemoveEntry(0);
    EXPECT_STREQ(EntryTitle(0), "a.mid");
    EXPECT_STREQ(EntryTitle(1), "yen?sign.wav");
}

} // namespace
