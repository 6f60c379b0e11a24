// The media keys of the real program, pressed on the X server (xdotool):
// the play/pause key pauses a playing WAV track and the sound stops
// growing, whether the player has the focus or another window has it, and
// with the keys held by another program while the player started.
//
// What Wine delivers: a key pressed while one of its windows has the X
// focus goes to the window that registered it as a hot key, if any, as
// WM_HOTKEY, wherever the focus is; a key that no window registered goes
// to the focused window as WM_APPCOMMAND (then WM_KEYDOWN). A key pressed
// while a window of another X client has the focus never reaches Wine.
#include "program/program_support.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

// The X window that Wine made for `window` (its top-level X window), as
// xdotool names it; 0 while there is none.
unsigned long XWindowOf(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window")));
}

// Runs xdotool on the display with `arguments`; its exit status, or -1
// when it did not end.
int RunXdotool(const std::string &arguments) { return RunLinuxCommand("/usr/bin/xdotool " + arguments); }

// Gives `window` the X focus and waits (bounded) until Wine has made it
// the foreground window.
bool Focus(HWND window)
{
    unsigned long xWindow = 0;
    if (!WaitUntil([&] { return (xWindow = XWindowOf(window)) != 0; }, 10000)) {
        ADD_FAILURE() << "no X window for " << window;
        return false;
    }
    int status = RunXdotool("windowfocus --sync " + std::to_string(xWindow));
    EXPECT_EQ(status, 0) << "xdotool windowfocus";
    return status == 0 && WaitUntil([&] { return GetForegroundWindow() == window; }, 10000);
}

// The play/pause key, as a keyboard's media key sends it to the X server.
bool PressPlayPauseKey()
{
    int status = RunXdotool("key XF86AudioPlay");
    EXPECT_EQ(status, 0) << "xdotool key";
    return status == 0;
}

// A visible window of the test's own, which can take the focus away from
// the player.
class OtherWindow {
  public:
    OtherWindow()
    {
        window_ = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 500, 400, 120, 60, nullptr, nullptr,
                                  nullptr, nullptr);
        UpdateWindow(window_);
    }
    ~OtherWindow() { DestroyWindow(window_); }
    OtherWindow(const OtherWindow &) = delete;
    OtherWindow &operator=(const OtherWindow &) = delete;
    HWND handle() const { return window_; }

  private:
    HWND window_;
};

long long SoundFileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The program playing a five-minute tone (mono 11,025 Hz, 16-bit: 22,050
// bytes a second), much longer than the tests take even on the null
// device, which plays several times faster than real time.
class MediaKeysProgramTest : public ::testing::Test {
  protected:
    const long long ToneBytes = 300LL * 22050;

    void StartTone()
    {
        sound = SoundFilePath();
        std::string tone = folder / "tone.wav";
        WriteToneWav(tone, 300, 440, 11025, 1);
        ClearSound();
        ASSERT_TRUE(StartProgram(ProgramPath(), tone, folder.path(), program));
        slider = FindWindowExA(program.window, nullptr, TRACKBAR_CLASSA, nullptr);
        ASSERT_NE(slider, nullptr);
        ASSERT_TRUE(SoundGrows()) << "the tone is not heard";
        ASSERT_TRUE(IsWindowEnabled(slider)) << "the tone does not play";
    }

    void TearDown() override
    {
        if (program.process.hProcess) {
            EXPECT_EQ(CloseProgram(program), 0u);
        }
    }

    // Waits (bounded) until the sound file has grown by a tenth of a
    // second of tone or started afresh.
    bool SoundGrows()
    {
        long long before = SoundFileSize(sound);
        return WaitUntil(
            [&] {
                long long now = SoundFileSize(sound);
                return now > before + 2205 || (now >= 0 && now < before);
            },
            20000);
    }

    // Waits (bounded) until the sound file has kept its size for a whole
    // second; that size, or -1 when it kept growing.
    long long SoundRests()
    {
        long long last = -2;
        DWORD since = GetTickCount();
        bool rests = WaitUntil(
            [&] {
                long long now = SoundFileSize(sound);
                if (now != last) {
                    last = now;
                    since = GetTickCount();
                    return false;
                }
                return GetTickCount() - since >= 1000;
            },
            20000);
        return rests ? last : -1;
    }

    // The key pauses the tone: the player shows it paused (its slider is
    // disabled only while not playing) and the sound stops growing, well
    // before the tone's end; the key again plays on, and the sound grows.
    void ExpectKeyPausesAndResumes()
    {
        ASSERT_TRUE(PressPlayPauseKey());
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(slider); }, 10000)) << "the key did not pause";
        long long rest = SoundRests();
        EXPECT_GE(rest, 0) << "the sound kept growing";
        EXPECT_LT(rest, ToneBytes) << "the tone ended instead";
        EXPECT_EQ(SoundFileSize(sound), rest) << "the sound grew again while paused";

        ASSERT_TRUE(PressPlayPauseKey());
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(slider) != FALSE; }, 10000)) << "the key did not resume";
        EXPECT_TRUE(SoundGrows()) << "the sound did not go on";
    }

    std::string sound;
    TempDir folder;
    ProgramProcess program;
    HWND slider = nullptr;
};

// The player holds the keys: pressed while it has the focus they arrive as
// its hot keys.
TEST_F(MediaKeysProgramTest, KeyPausesTheFocusedPlayer)
{
    REQUIRE_SOUND_FILE();
    ASSERT_NO_FATAL_FAILURE(StartTone());
    for (UINT key : PlayerKeys)
        EXPECT_FALSE(KeyIsFree(key)) << "the player does not hold key " << std::hex << key;
    ASSERT_TRUE(Focus(program.window));
    ExpectKeyPausesAndResumes();
}

// With the focus on another window the keys still reach the player as its
// hot keys; a second Tunewell started beside it goes without them, runs
// and closes normally, and takes nothing from the first.
TEST_F(MediaKeysProgramTest, KeyPausesThePlayerBehindAnotherWindow)
{
    REQUIRE_SOUND_FILE();
    ASSERT_NO_FATAL_FAILURE(StartTone());
    TempDir emptyFolder;
    ProgramProcess second;
    EXPECT_TRUE(StartProgram(ProgramPath(), "", emptyFolder.path(), second));
    EXPECT_EQ(CloseProgram(second), 0u);

    OtherWindow other;
    ASSERT_TRUE(Focus(other.handle()));
    ExpectKeyPausesAndResumes();
    EXPECT_EQ(GetForegroundWindow(), other.handle()) << "the key moved the focus";
}

// Keys that another program held when the player started stay with it;
// once that program lets them go, the focused player still hears them, as
// application commands.
TEST_F(MediaKeysProgramTest, KeyPausesTheFocusedPlayerThatStartedWithoutTheKeys)
{
    REQUIRE_SOUND_FILE();
    OtherWindow holder;
    for (UINT key : PlayerKeys)
        ASSERT_TRUE(RegisterHotKey(holder.handle(), static_cast<int>(key), 0, key)) << std::hex << key;
    ASSERT_NO_FATAL_FAILURE(StartTone());
    for (UINT key : PlayerKeys)
        EXPECT_TRUE(UnregisterHotKey(holder.handle(), static_cast<int>(key))) << std::hex << key;
    // Nobody holds them now: the player's own registration failed quietly.
    for (UINT key : PlayerKeys)
        EXPECT_TRUE(KeyIsFree(key)) << std::hex << key;

    ASSERT_TRUE(Focus(program.window));
    ExpectKeyPausesAndResumes();
}

} // namespace
