// Dragging the borderless window by its face, and the double click that
// minimises it.
#include "face_helpers.h"

namespace {

class MainWindowDragTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        window = StartTestPlayer(folder.path());
        SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void Send(UINT message, unsigned x, unsigned y)
    {
        SendMessageA(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    POINT Where()
    {
        RECT bounds;
        GetWindowRect(window, &bounds);
        return {bounds.left, bounds.top};
    }
    TempDir folder;
    HWND window = nullptr;
};

TEST_F(MainWindowDragTest, TheWindowFollowsThePointerUntilTheButtonGoesUp)
{
    Send(WM_LBUTTONDOWN, 10, 20);
    EXPECT_EQ(player.dragging, 1);
    EXPECT_EQ(player.dragAnchor.x, 10);
    EXPECT_EQ(player.dragAnchor.y, 20);
    EXPECT_EQ(GetCapture(), window);

    Send(WM_MOUSEMOVE, 40, 25);
    EXPECT_EQ(Where().x, 130);
    EXPECT_EQ(Where().y, 105);
    // The pointer on the far edge still counts as inside.
    Send(WM_MOUSEMOVE, 250, 100);
    EXPECT_EQ(Where().x, 370);
    EXPECT_EQ(Where().y, 185);
    Send(WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(Where().x, 360);
    EXPECT_EQ(Where().y, 165);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(client.bottom, 100);

    Send(WM_LBUTTONUP, 10, 20);
    EXPECT_EQ(player.dragging, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_MOUSEMOVE, 40, 40);
    EXPECT_EQ(Where().x, 360);
    EXPECT_EQ(Where().y, 165);
}

TEST_F(MainWindowDragTest, APointerOutsideTheClientAreaEndsTheDrag)
{
    struct Case {
        const char *name;
        unsigned x, y;
    };
    const Case cases[] = {
        {"right of the window", 251, 10},
        {"below the window", 10, 101},
        {"left of the window", 0xFFFF, 10}, // -1 read as unsigned
        {"above the window", 10, 0xFFF0},
        {"far away", 0x8000, 0x8000},
    };
    for (const Case &c : cases) {
        SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Send(WM_LBUTTONDOWN, 10, 20);
        ASSERT_EQ(GetCapture(), window) << c.name;
        Send(WM_MOUSEMOVE, c.x, c.y);
        EXPECT_EQ(player.dragging, 0) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
        EXPECT_EQ(Where().x, 100) << c.name;
        EXPECT_EQ(Where().y, 100) << c.name;
        // Later moves no longer move the window.
        Send(WM_MOUSEMOVE, 30, 30);
        EXPECT_EQ(Where().x, 100) << c.name;
    }
}

TEST_F(MainWindowDragTest, MovesAreIgnoredWithoutADrag)
{
    Send(WM_MOUSEMOVE, 40, 40);
    EXPECT_EQ(Where().x, 100);
    EXPECT_EQ(Where().y, 100);
    EXPECT_EQ(player.dragging, 0);
}

// What the window was asked to become, seen by a CBT hook: the test
// display has no window manager, so Wine does not keep a window iconic
// for long and the state itself cannot be waited for.
std::vector<std::pair<HWND, int>> minMaxRequests;

LRESULT CALLBACK NoteMinMax(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_MINMAX)
        minMaxRequests.push_back({reinterpret_cast<HWND>(wParam), LOWORD(lParam)});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(MainWindowDragTest, ADoubleClickMinimises)
{
    minMaxRequests.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, NoteMinMax, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    // As the platform delivers it: down, up, then the double click.
    Send(WM_LBUTTONDOWN, 30, 30);
    Send(WM_LBUTTONUP, 30, 30);
    EXPECT_TRUE(minMaxRequests.empty());
    Send(WM_LBUTTONDBLCLK, 30, 30);
    UnhookWindowsHookEx(hook);
    // Wine may follow with a restore of its own; the first request is ours.
    ASSERT_GE(minMaxRequests.size(), 1u);
    EXPECT_EQ(minMaxRequests[0].first, window);
    EXPECT_EQ(minMaxRequests[0].second, SW_MINIMIZE);
    EXPECT_EQ(player.dragging, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(IsWindow(window));
}

// The pointer itself, through the platform's input queue.
void Mouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = (x * 65536 + width / 2) / width;
        input.mi.dy = (y * 65536 + height / 2) / height;
    }
    SendInput(1, &input, sizeof input);
}

POINT Pointer()
{
    POINT point;
    GetCursorPos(&point);
    return point;
}

TEST_F(MainWindowDragTest, TheRealPointerDragsAndDoubleClicks)
{
    SetForegroundWindow(window);
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 130, 165);
    ASSERT_TRUE(WaitUntil([] { return Pointer().x == 130 && Pointer().y == 165; }, 5000));

    Mouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(WaitUntil([] { return player.dragging == 1; }, 5000));
    EXPECT_EQ(player.dragAnchor.x, 30);
    EXPECT_EQ(player.dragAnchor.y, 65);
    EXPECT_EQ(GetCapture(), window);

    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 150, 175);
    ASSERT_TRUE(WaitUntil([&] { return Where().x != 100; }, 5000));
    // The anchor stays under the pointer.
    POINT pointer = Pointer();
    EXPECT_EQ(Where().x, pointer.x - 30);
    EXPECT_EQ(Where().y, pointer.y - 65);

    Mouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitUntil([] { return player.dragging == 0; }, 5000));
    EXPECT_EQ(GetCapture(), nullptr);

    minMaxRequests.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, NoteMinMax, nullptr, GetCurrentThreadId());
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
    bool minimised = WaitUntil([&] {
        return !minMaxRequests.empty() && player.dragging == 0;
    }, 5000);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(minimised);
    EXPECT_EQ(minMaxRequests[0].first, window);
    EXPECT_EQ(minMaxRequests[0].second, SW_MINIMIZE);
}

} // namespace
