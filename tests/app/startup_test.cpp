// Start-up as a user meets it: the window, its classes, the drawing
// resources, the code page, and a clean exit.
#include "common/program_runner.h"
#include "common/test_support.h"

#include "app/startup.h"

#include <commctrl.h>

#include <cstring>

namespace {

class StartupTest : public PlayerTest {};

TEST_F(StartupTest, RunsInCodePage932)
{
    EXPECT_EQ(GetACP(), 932u);
    // Narrow literals are compiled to Shift-JIS.
    EXPECT_STREQ("開く", "\x8A\x4A\x82\xAD");
}

TEST_F(StartupTest, RegistersSixClassesWithTheSameStyle)
{
    TempDir folder;
    StartTestPlayer(folder.path());
    const char *names[] = {"CWindow", "LabelWindow", "SwitchWindow", "PlayWindow", "PauseWindow", "StopWindow"};
    for (const char *name : names) {
        WNDCLASSA info;
        ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), name, &info)) << name;
        EXPECT_EQ(info.style, 11u) << name;
        EXPECT_EQ(info.cbClsExtra, 0) << name;
        EXPECT_EQ(info.cbWndExtra, 0) << name;
        EXPECT_EQ(info.hbrBackground, GetStockObject(LTGRAY_BRUSH)) << name;
        EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW)) << name;
        EXPECT_EQ(info.hIcon, nullptr) << name;
        EXPECT_EQ(info.lpszMenuName, nullptr) << name;
    }
}

TEST_F(StartupTest, MainWindowIsABorderlessPopupAtTheTopLeft)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(window, player.mainWindow);

    RECT bounds;
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right - bounds.left, 250);
    EXPECT_EQ(bounds.bottom - bounds.top, 100);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(client.bottom, 100);

    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & ~WS_VISIBLE & ~WS_CLIPSIBLINGS, static_cast<LONG>(WS_POPUP));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & WS_CLIPCHILDREN);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_ACCEPTFILES, 0);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    char caption[32];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Tunewell");
    char className[32];
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "CWindow");
}

TEST_F(StartupTest, CreatesTheSixChildrenInIdOrder)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    struct Child {
        int id;
        const char *className;
        HWND handle;
    };
    const Child children[] = {
        {1, "LabelWindow", player.labelWindow}, {2, "msctls_trackbar32", player.trackBar},
        {3, "SwitchWindow", player.closeButton}, {4, "PlayWindow", player.playButton},
        {5, "PauseWindow", player.pauseButton}, {6, "StopWindow", player.stopButton},
    };
    HWND previous = nullptr;
    for (const Child &child : children) {
        HWND found = GetDlgItem(window, child.id);
        ASSERT_EQ(found, child.handle) << child.className;
        char className[64];
        GetClassNameA(found, className, sizeof className);
        EXPECT_STREQ(className, child.className);
        EXPECT_EQ(GetWindowLongA(found, GWL_STYLE) & ~WS_DISABLED & ~TBS_AUTOTICKS,
                  static_cast<LONG>(WS_CHILD | WS_VISIBLE))
            << child.className;
        // Children are created in id order, so each follows the one before.
        if (previous) {
            EXPECT_EQ(GetWindow(previous, GW_HWNDNEXT), found) << child.className;
        }
        previous = found;
    }
    EXPECT_FALSE(IsWindowEnabled(player.trackBar));
    EXPECT_TRUE(IsWindowEnabled(player.playButton));
}

TEST_F(StartupTest, MakesTheNineBrushesAndPensInTheirColours)
{
    TempDir folder;
    StartTestPlayer(folder.path());
    struct Brush {
        HBRUSH handle;
        COLORREF colour;
    };
    const Brush brushes[] = {{player.backgroundBrush, 0x00C00050}, {player.labelBrush, 0x00004000},
                             {player.closeBrush, 0x002070F0},      {player.frameBrush, 0x00000000},
                             {player.faceBrush, 0x00C8C0C0},       {player.activeBrush, 0x0080E040},
                             {player.idleBrush, 0x00404040}};
    for (const Brush &brush : brushes) {
        LOGBRUSH info;
        ASSERT_EQ(GetObjectA(brush.handle, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(info.lbColor, brush.colour);
    }
    struct Pen {
        HPEN handle;
        COLORREF colour;
    };
    const Pen pens[] = {{player.lightPen, 0x00FF60A0}, {player.darkPen, 0x00600020}};
    for (const Pen &pen : pens) {
        LOGPEN info;
        ASSERT_EQ(GetObjectA(pen.handle, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.lopnStyle, static_cast<UINT>(PS_SOLID));
        EXPECT_EQ(info.lopnWidth.x, 1);
        EXPECT_EQ(info.lopnColor, pen.colour);
    }
}

TEST_F(StartupTest, StartsIdleInAnEmptyFolder)
{
    TempDir folder;
    StartTestPlayer(folder.path());
    EXPECT_EQ(player.playlist.size(), 0u);
    EXPECT_EQ(player.trackOpen | player.playing | player.paused | player.stopped, 0);
    EXPECT_TRUE(player.title.empty());
    EXPECT_EQ(player.mp3EngineAvailable, 0);
    const std::vector<std::string> patterns = {"*.mid", "*.wav", "*.mp3", "*.wma", "*.flac", "*.ogg", "*.opus", "*.m4a"};
    EXPECT_EQ(player.filePatterns, patterns);
}

TEST_F(StartupTest, DestroyingTheMainWindowPostsQuitWithZero)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    DestroyWindow(window);
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(message.wParam, 0u);
        }
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(player.backgroundBrush, nullptr);
    EXPECT_EQ(player.frameDC, nullptr);
}

// The real program: started in an empty folder, it shows its window at the
// top left and exits with 0 once the window is closed.
TEST(ProgramTest, ExitsWithZeroWhenItsWindowIsDestroyed)
{
    std::string exe = ProgramPath();
    ASSERT_TRUE(FileExists(exe)) << exe;

    TempDir folder;
    ProgramProcess program;
    EXPECT_TRUE(StartProgram(exe, "", folder.path(), program));
    RECT bounds = {};
    GetWindowRect(program.window, &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 250);
    EXPECT_EQ(bounds.bottom, 100);
    EXPECT_EQ(CloseProgram(program), 0u);
}

} // namespace
