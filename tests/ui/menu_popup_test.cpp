// A right click on the face: the menu opens at the pointer, rebuilt, and the
// item chosen in it arrives as a command.
#include "ui/menu_support.h"

#include "playlist/store.h"
#include "ui/context_menu.h"

namespace {

class MenuPopupTest : public PlayerTest {
  protected:
    // The player with two entries, the first current.
    void Start()
    {
        window = StartTestPlayer(folder.path());
        AddEntry("D:\\a.wav");
        AddEntry("D:\\b.wav");
        player.currentIndex = 0;
    }
    // A right click at (x, y) whose menu is walked with `keys`; returns
    // what the click returned.
    LRESULT RightClick(int x, int y, const std::vector<WPARAM> &keys);
    TempDir folder;
    MciRecorder mci;
    HWND window = nullptr;
};

// What the timer saw while the menu was open.
struct SeenMenu {
    bool shown = false;
    RECT bounds = {};
    int ticks = 0;
    std::vector<MenuRow> rows;
    std::vector<WPARAM> keys;
};
SeenMenu seen;

// Runs inside the menu's modal loop: notes where the menu opened, then
// walks it with the keyboard like a user.
void CALLBACK WatchMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup && IsWindowVisible(popup) && !seen.shown) {
        seen.shown = true;
        GetWindowRect(popup, &seen.bounds);
        seen.rows = ReadMenu(player.contextMenu);
        for (WPARAM key : seen.keys) {
            PostMessageA(popup, WM_KEYDOWN, key, 0);
            PostMessageA(popup, WM_KEYUP, key, 0xC0000000);
        }
    }
    // Never leave a test stuck in the menu.
    if (++seen.ticks > 200)
        EndMenu();
}

LRESULT MenuPopupTest::RightClick(int x, int y, const std::vector<WPARAM> &keys)
{
    seen = SeenMenu();
    seen.keys = keys;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchMenu);
    LRESULT result = SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    KillTimer(nullptr, timer);
    return result;
}

TEST_F(MenuPopupTest, RightClickOpensTheRebuiltMenuAtThePointerAndRunsTheChoice)
{
    Start();
    // A menu built earlier for another list must not be the one shown.
    BuildContextMenu();
    HMENU stale = player.contextMenu;
    AddEntry("D:\\c.wav");

    // Down three times lands on the third item, Repeat.
    LRESULT result = RightClick(30, 40, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});

    EXPECT_EQ(result, 0);
    ASSERT_TRUE(seen.shown);
    POINT point = {30, 40};
    ClientToScreen(window, &point);
    EXPECT_EQ(seen.bounds.left, point.x);
    EXPECT_EQ(seen.bounds.top, point.y);
    EXPECT_FALSE(IsMenu(stale));
    ASSERT_EQ(seen.rows.size(), 7u);
    EXPECT_EQ(ReadMenu(player.playlistMenu).size(), 3u);

    // The choice is posted: it runs once the loop gets to it.
    EXPECT_TRUE(WaitUntil([] { return player.repeatMode == 1; }, 5000));
}

TEST_F(MenuPopupTest, ChoosingAnEntryPlaysItWithRepeatOff)
{
    Start();
    player.repeatMode = 1;

    // Up wraps to About; up again skips the separator to the list; right
    // opens it on its first entry; down moves to the second.
    RightClick(100, 20, {VK_UP, VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(seen.shown);

    EXPECT_TRUE(WaitUntil([&] { return Contains(mci.Commands(), MciOpenCommand("D:\\b.wav")); }, 5000));
    EXPECT_EQ(player.repeatMode, 0);
    EXPECT_EQ(player.currentIndex, 1u);
}

} // namespace
