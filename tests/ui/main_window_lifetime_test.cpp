// What the main window builds when it is created and releases when it is
// destroyed.
#include "face_helpers.h"

#include "ui/main_window.h"

#include <commctrl.h>

#include <cstring>
#include <memory>

namespace {

class MainWindowLifetimeTest : public PlayerTest {};

std::string FilterBytes(const char *filter)
{
    // Up to and including the empty string that ends the list.
    const char *end = filter;
    while (*end)
        end += std::strlen(end) + 1;
    return std::string(filter, end + 1);
}

TEST_F(MainWindowLifetimeTest, FillsTheTwoDialogRecordsFieldByField)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    struct Expected {
        const OPENFILENAMEA &record;
        const char *name;
        std::string filter;
        const char *title;
        DWORD flags;
    };
    const Expected records[] = {
        {player.openDialog, "open",
         std::string("\x89\xB9\x90\xBA\x83\x74\x83\x40\x83\x43\x83\x8B"
                     "(*.mid;*.mp3;*.wma;*.wav;*.flac;*.ogg;*.opus;*.m4a)\0"
                     "*.mid;*.mp3;*.wma;*.wav;*.flac;*.ogg;*.opus;*.m4a\0"
                     "\x82\xB7\x82\xD7\x82\xC4\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B(*.*)\0*.*\0\0",
                     63 + 1 + 49 + 1 + 21 + 1 + 3 + 1 + 1),
         "\x8A\x4A\x82\xAD", 0x1004},
        {player.saveDialog, "save",
         std::string("\x82\xB7\x82\xD7\x82\xC4\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B(*.*)\0*.*\0\0",
                     21 + 1 + 3 + 1 + 1),
         "\x83\x8A\x83\x58\x83\x67\x83\x74\x83\x40\x83\x43\x83\x8B\x95\xDB\x91\xB6", 6},
    };
    for (const Expected &e : records) {
        const OPENFILENAMEA &r = e.record;
        EXPECT_EQ(r.lStructSize, 76u) << e.name;
        EXPECT_EQ(r.hwndOwner, window) << e.name;
        EXPECT_EQ(r.hInstance, nullptr) << e.name;
        ASSERT_NE(r.lpstrFilter, nullptr) << e.name;
        EXPECT_EQ(FilterBytes(r.lpstrFilter), e.filter) << e.name;
        EXPECT_EQ(r.lpstrCustomFilter, nullptr) << e.name;
        EXPECT_EQ(r.nMaxCustFilter, 0u) << e.name;
        EXPECT_EQ(r.nFilterIndex, 1u) << e.name;
        EXPECT_EQ(r.lpstrFile, player.pathBuffer) << e.name;
        EXPECT_EQ(r.nMaxFile, 255u) << e.name;
        EXPECT_EQ(r.lpstrFileTitle, player.fileTitleBuffer) << e.name;
        EXPECT_EQ(r.nMaxFileTitle, 255u) << e.name;
        EXPECT_EQ(r.lpstrInitialDir, nullptr) << e.name;
        EXPECT_STREQ(r.lpstrTitle, e.title) << e.name;
        EXPECT_EQ(r.Flags, e.flags) << e.name;
        EXPECT_EQ(r.nFileOffset, 0) << e.name;
        EXPECT_EQ(r.nFileExtension, 0) << e.name;
        EXPECT_EQ(r.lpstrDefExt, nullptr) << e.name;
        EXPECT_EQ(r.lCustData, 0) << e.name;
        EXPECT_EQ(r.lpfnHook, nullptr) << e.name;
        EXPECT_EQ(r.lpTemplateName, nullptr) << e.name;
    }
    EXPECT_EQ(player.openDialog.Flags, static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(player.saveDialog.Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
    EXPECT_STREQ(player.pathBuffer, "");
}

TEST_F(MainWindowLifetimeTest, BuildsTheDrawingSurfacesOfTheFace)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    EXPECT_EQ(player.clientRect.left, 0);
    EXPECT_EQ(player.clientRect.top, 0);
    EXPECT_EQ(player.clientRect.right, 250);
    EXPECT_EQ(player.clientRect.bottom, 100);

    struct Surface {
        HDC dc;
        HBITMAP bitmap;
        const char *name;
    };
    const Surface surfaces[] = {{player.frameDC, player.frameBitmap, "frame"},
                                {player.backgroundDC, player.backgroundBitmap, "background"}};
    HDC screen = GetDC(window);
    for (const Surface &s : surfaces) {
        ASSERT_NE(s.dc, nullptr) << s.name;
        EXPECT_EQ(GetObjectType(s.dc), static_cast<DWORD>(OBJ_MEMDC)) << s.name;
        EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BITMAP), s.bitmap) << s.name;
        BITMAP info;
        ASSERT_EQ(GetObjectA(s.bitmap, sizeof info, &info), static_cast<int>(sizeof info)) << s.name;
        EXPECT_EQ(info.bmWidth, 248) << s.name;
        EXPECT_EQ(info.bmHeight, 98) << s.name;
        EXPECT_EQ(info.bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL)) << s.name;
    }
    ReleaseDC(window, screen);
    for (int y : {0, 50, 97})
        for (int x : {0, 120, 247})
            EXPECT_EQ(GetPixel(player.backgroundDC, x, y), BackgroundColour) << x << "," << y;
}

// Looked for directly, within `ms`: WaitUntil would dispatch the tick.
static bool TimerTicks(HWND window, DWORD ms, MSG &message)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE))
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_TIMER);
    }
    return false;
}

TEST_F(MainWindowLifetimeTest, DisablesOnlyTheSliderAndPollsOnlyWhilePlaying)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    EXPECT_FALSE(IsWindowEnabled(player.trackBar));
    for (HWND child : {player.labelWindow, player.closeButton, player.playButton, player.pauseButton,
                       player.stopButton})
        EXPECT_TRUE(IsWindowEnabled(child));

    // Idle: not one tick in three of the timer's intervals.
    MSG message = {};
    EXPECT_FALSE(TimerTicks(window, 3 * PollIntervalMs, message)) << "an idle player polls";

    SetTransportFlags(Transport::Playing, Mci);
    ASSERT_TRUE(TimerTicks(window, 5000, message)) << "a playing track is not polled";
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(message.lParam, 0);

    for (Transport resting : {Transport::Paused, Transport::Stopped, Transport::Idle}) {
        SetTransportFlags(Transport::Playing, Mci);
        SetTransportFlags(resting, Mci);
        EXPECT_FALSE(TimerTicks(window, 3 * PollIntervalMs, message)) << TransportName(resting);
    }
}

// The slider looks as Windows draws it for a program without visual
// styles, although Wine's desktop here has a theme that a slider made
// without the player's help takes.
TEST_F(MainWindowLifetimeTest, DrawsTheSliderWithoutATheme)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    HMODULE themes = GetModuleHandleA("uxtheme.dll");
    ASSERT_NE(themes, nullptr) << "the common controls run without the theme library";
    using WindowTheme = HANDLE(WINAPI *)(HWND);
    WindowTheme windowTheme =
        reinterpret_cast<WindowTheme>(reinterpret_cast<void *>(GetProcAddress(themes, "GetWindowTheme")));
    ASSERT_NE(windowTheme, nullptr);
    HWND plain = CreateWindowExA(0, TRACKBAR_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 90, 22, window, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_NE(windowTheme(plain), nullptr) << "no theme on this desktop: the test cannot tell";
    DestroyWindow(plain);
    EXPECT_EQ(windowTheme(player.trackBar), nullptr);
}

// Destruction in order: the open track closed on its own back-end, the
// engine released when it is available, then the quit message.
TEST_F(MainWindowLifetimeTest, ClosesTheOpenTrackOnItsBackEnd)
{
    struct Case {
        const char *name;
        int32_t trackOpen;
        BackEnd backEnd;
        bool engine;
        std::vector<std::string> mci;
        std::vector<std::string> engineCalls;
    };
    const Case cases[] = {
        {"mci track", 1, Mci, false, {"stop music", "close music"}, {}},
        {"mci track, engine loaded", 1, Mci, true, {"stop music", "close music"}, {"free"}},
        {"engine track", 1, Mp3Engine, true, {}, {"close", "free"}},
        {"nothing open", 0, Mci, false, {}, {}},
        {"nothing open, engine loaded", 0, Mp3Engine, true, {}, {"free"}},
    };
    for (const Case &c : cases) {
        TempDir folder;
        std::unique_ptr<FakeEngine> engine;
        if (c.engine)
            engine.reset(new FakeEngine);
        HWND window = StartTestPlayer(folder.path());
        MciRecorder mci;
        if (engine)
            engine->calls.clear();
        player.trackOpen = c.trackOpen;
        player.playing = c.trackOpen;
        player.backEnd = c.backEnd;

        DestroyWindow(window);
        EXPECT_EQ(mci.Commands(), c.mci) << c.name;
        if (engine) {
            EXPECT_EQ(engine->calls, c.engineCalls) << c.name;
        }
        MSG message;
        EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << c.name;
        EXPECT_EQ(message.wParam, 0u) << c.name;
        EXPECT_EQ(player.titleFont, nullptr) << c.name;
        EXPECT_EQ(player.backgroundDC, nullptr) << c.name;
        EXPECT_EQ(player.frameBitmap, nullptr) << c.name;
        StopTestPlayer();
    }
}

TEST_F(MainWindowLifetimeTest, CreatingAndDestroyingLeaksNoGdiObject)
{
    TempDir folder;
    StartTestPlayer(folder.path());
    StopTestPlayer();
    unsigned before = NextGdiSlot();
    for (int i = 0; i < 40; ++i) {
        StartTestPlayer(folder.path());
        StopTestPlayer();
    }
    EXPECT_LE(NextGdiSlot(), before + GdiSlotSlack);
}

} // namespace
