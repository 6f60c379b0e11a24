// The right-click menu, read back from the real menu handles.
#include "ui/menu_support.h"

#include "playlist/store.h"
#include "ui/context_menu.h"

namespace {

class MenuContextTest : public PlayerTest {
  protected:
    void Start() { window = StartTestPlayer(folder.path()); }
    std::vector<MenuRow> Build()
    {
        BuildContextMenu();
        return ReadMenu(player.contextMenu);
    }
    TempDir folder;
    HWND window = nullptr;
    MciRecorder mci;
};

// Texts as code page 932 bytes.
const char LoadFileText[] = "\x83\x74\x83\x40\x83\x43\x83\x8B\x93\xC7\x82\xDD\x8D\x9E\x82\xDD";       // ファイル読み込み
const char ExportText[] = "\x8D\xC4\x90\xB6\x83\x8A\x83\x58\x83\x67\x8F\x91\x82\xAB\x8F\x6F\x82\xB5"; // 再生リスト書き出し
const char RepeatText[] = "\x83\x8A\x83\x73\x81\x5B\x83\x67";                                         // リピート
const char RemoveText[] = "\x8D\xC4\x90\xB6\x83\x8A\x83\x58\x83\x67\x82\xA9\x82\xE7\x8F\x9C\x8A\x4F"; // 再生リストから除外
const char PlaylistText[] = "\x8D\xC4\x90\xB6\x83\x8A\x83\x58\x83\x67";                               // 再生リスト
const char AboutText[] = "\x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93\x8F\xEE\x95\xF1";                 // バージョン情報

struct ExpectedRow {
    UINT id;
    const char *text;
    bool separator;
    bool greyed;
    bool checked;
};

void ExpectRows(const std::vector<MenuRow> &rows, const std::vector<ExpectedRow> &expected)
{
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(rows[i].id, expected[i].id);
        EXPECT_EQ(rows[i].text, expected[i].text);
        EXPECT_EQ(rows[i].separator, expected[i].separator);
        // A separator's greyed bit is the platform's business.
        if (!expected[i].separator) {
            EXPECT_EQ(rows[i].greyed, expected[i].greyed);
        }
        EXPECT_EQ(rows[i].checked, expected[i].checked);
        EXPECT_EQ(rows[i].submenu != nullptr, expected[i].id == static_cast<UINT>(-1));
    }
}

const UINT Popup = static_cast<UINT>(-1);

TEST_F(MenuContextTest, EmptyListGreysEverythingButLoadAndAbout)
{
    Start();
    ASSERT_EQ(PlaylistCount(), 0);
    ExpectRows(Build(), {{11, LoadFileText, false, false, false},
                         {12, ExportText, false, true, false},
                         {13, RepeatText, false, true, false},
                         {14, RemoveText, false, true, false},
                         {0, "", true, false, false},
                         {16, AboutText, false, false, false}});
}

TEST_F(MenuContextTest, OneEntryShowsItCheckedAndGreysRepeat)
{
    Start();
    AddEntry("D:\\songs\\a.mid");
    player.currentIndex = 0;
    std::vector<MenuRow> rows = Build();
    ExpectRows(rows, {{11, LoadFileText, false, false, false},
                      {12, ExportText, false, false, false},
                      {13, RepeatText, false, true, false},
                      {14, RemoveText, false, false, false},
                      {Popup, PlaylistText, false, false, false},
                      {0, "", true, false, false},
                      {16, AboutText, false, false, false}});
    EXPECT_EQ(rows[4].submenu, player.playlistMenu);
    std::vector<MenuRow> entries = ReadMenu(player.playlistMenu);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id, 20u);
    EXPECT_EQ(entries[0].text, "a.mid");
    EXPECT_TRUE(entries[0].checked);
    EXPECT_FALSE(entries[0].greyed);
}

// The names themselves follow the one rule (tests/playlist/display_name_test):
// here, that the menu shows each entry's title, an empty one too, with only
// the current entry checked even where a path stands twice.
TEST_F(MenuContextTest, EntriesShowTheirTitlesWithOnlyTheCurrentChecked)
{
    Start();
    struct Entry {
        const char *path;
        const char *title;
        const char *shown;
    };
    const Entry entries[] = {
        {"D:\\songs\\a.mid", "", "a.mid"},
        {"b.wav", "", "b.wav"},
        {"D:\\songs\\", "", ""},
        {"D:\\CAF_~XBP.WAV", "Caf?.wav", "Caf?.wav"},
        {"D:\\songs\\a.mid", "", "a.mid"},
    };
    for (const Entry &entry : entries)
        AddEntry(entry.path, entry.title);
    player.currentIndex = 2;
    std::vector<MenuRow> rows = Build();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_FALSE(rows[2].greyed);
    EXPECT_FALSE(rows[2].checked);
    std::vector<MenuRow> shown = ReadMenu(player.playlistMenu);
    ASSERT_EQ(shown.size(), std::size(entries));
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(entries[i].path);
        EXPECT_EQ(shown[i].id, 20 + i);
        EXPECT_EQ(shown[i].text, entries[i].shown);
        EXPECT_EQ(shown[i].checked, i == 2);
        EXPECT_FALSE(shown[i].greyed);
        EXPECT_FALSE(shown[i].separator);
    }
}

TEST_F(MenuContextTest, RepeatIsCheckedWhenOnAndStaysGreyedWithOneEntry)
{
    Start();
    struct Case {
        int entries;
        int32_t repeat;
        bool greyed;
        bool checked;
    };
    const Case cases[] = {{0, 1, true, true},  {1, 1, true, true},   {1, 0, true, false},
                          {2, 1, false, true}, {2, 0, false, false}, {5, 1, false, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE("entries " + std::to_string(c.entries) + ", repeat " + std::to_string(c.repeat));
        ClearPlaylist();
        for (int i = 0; i < c.entries; ++i)
            AddEntry("D:\\t.wav");
        player.currentIndex = 0;
        player.repeatMode = c.repeat;
        std::vector<MenuRow> rows = Build();
        ASSERT_GE(rows.size(), 3u);
        EXPECT_EQ(rows[2].id, 13u);
        EXPECT_EQ(rows[2].greyed, c.greyed);
        EXPECT_EQ(rows[2].checked, c.checked);
    }
}

TEST_F(MenuContextTest, EveryRebuildReplacesBothMenus)
{
    Start();
    AddEntry("D:\\a.wav");
    AddEntry("D:\\b.wav");
    player.currentIndex = 1;
    Build();
    HMENU oldPopup = player.contextMenu;
    HMENU oldList = player.playlistMenu;
    ASSERT_EQ(ReadMenu(oldList).size(), 2u);

    ClearPlaylist();
    player.repeatMode = 1;
    std::vector<MenuRow> rows = Build();
    EXPECT_FALSE(IsMenu(oldPopup));
    EXPECT_FALSE(IsMenu(oldList));
    EXPECT_TRUE(IsMenu(player.contextMenu));
    EXPECT_TRUE(IsMenu(player.playlistMenu));
    // The empty list's submenu is made but not attached.
    EXPECT_EQ(GetMenuItemCount(player.playlistMenu), 0);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(rows[2].checked);
    EXPECT_TRUE(rows[4].separator);

    // Many rebuilds leave nothing behind: the next menu handle stays low.
    HMENU before = CreateMenu();
    DestroyMenu(before);
    for (int i = 0; i < 500; ++i)
        BuildContextMenu();
    HMENU after = CreateMenu();
    DestroyMenu(after);
    EXPECT_LT(reinterpret_cast<uintptr_t>(after) & 0xFFFF, (reinterpret_cast<uintptr_t>(before) & 0xFFFF) + 64);
}

TEST_F(MenuContextTest, NumberingGoesOnPastNinetyNineAfterACtrlDrop)
{
    Start();
    for (int i = 0; i < 99; ++i)
        AddEntry(("D:\\songs\\" + std::to_string(i) + ".wav").c_str());
    std::string extra = folder / "extra.wav";
    WriteBytes(extra, "RIFF");
    {
        ControlKeyHeld control;
        ASSERT_TRUE(control.held());
        SendDrop(window, {extra});
    }
    ASSERT_EQ(PlaylistCount(), 100);
    std::vector<MenuRow> rows = Build();
    ASSERT_EQ(rows.size(), 7u);
    std::vector<MenuRow> entries = ReadMenu(player.playlistMenu);
    ASSERT_EQ(entries.size(), 100u);
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].id, 20 + i) << i;
    EXPECT_EQ(entries[98].text, "98.wav");
    EXPECT_EQ(entries[99].id, 119u);
    EXPECT_EQ(entries[99].text, "extra.wav");
    // The dropped entry is the one playing.
    EXPECT_TRUE(entries[99].checked);
    EXPECT_FALSE(entries[0].checked);
}

} // namespace
