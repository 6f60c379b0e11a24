// Helpers for driving the player the way a user does with the mouse: the
// context menu read back from its handles, drops made like the shell makes
// them, the Ctrl key held down, and the modal dialogs answered from a
// second thread.
#pragma once

#include "common/program_runner.h"
#include "common/test_support.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// ---- Files and lists ----------------------------------------------------------

// A file of a few bytes in `folder`: the MCI recorder opens anything.
inline std::string TouchFile(const TempDir &folder, const std::string &name)
{
    std::string path = folder / name;
    WriteBytes(path, "RIFF");
    return path;
}

// Fills the list directly, as if an earlier command had, the first entry
// current.
inline void FillPlaylistWith(const std::vector<std::string> &paths)
{
    player.playlist = paths;
    player.currentIndex = 0;
}

// ---- The menu ---------------------------------------------------------------

struct MenuRow {
    UINT id;          // (UINT)-1 for the submenu
    std::string text; // the bytes as the menu holds them
    bool separator;
    bool greyed;
    bool checked;
    HMENU submenu;
};

inline std::vector<MenuRow> ReadMenu(HMENU menu)
{
    std::vector<MenuRow> rows;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MenuRow row;
        row.id = GetMenuItemID(menu, i);
        char text[512] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        row.text = text;
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        row.separator = (state & MF_SEPARATOR) != 0;
        row.greyed = (state & MF_GRAYED) != 0;
        row.checked = (state & MF_CHECKED) != 0;
        row.submenu = GetSubMenu(menu, i);
        rows.push_back(row);
    }
    return rows;
}

// ---- Drops -----------------------------------------------------------------

// A drop block as the shell makes it: the header, the zero-terminated
// narrow paths and one more zero, in movable global memory.
inline HGLOBAL MakeDrop(const std::vector<std::string> &paths)
{
    std::string names;
    for (const std::string &path : paths)
        names += path + '\0';
    names += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto *header = static_cast<DROPFILES *>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    memcpy(reinterpret_cast<char *>(header) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    return memory;
}

// Sends the drop to the window; the player releases the block.
inline LRESULT SendDrop(HWND window, const std::vector<std::string> &paths)
{
    return SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

// Holds the Ctrl key down through the platform's input queue for as long as
// it lives, as a user's hand would.
class ControlKeyHeld {
  public:
    ControlKeyHeld()
    {
        Press(0);
        held_ = WaitUntil([] { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }, 5000);
    }
    ~ControlKeyHeld()
    {
        Press(KEYEVENTF_KEYUP);
        WaitUntil([] { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0; }, 5000);
    }
    bool held() const { return held_; }

  private:
    static void Press(DWORD flags)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_CONTROL;
        input.ki.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }
    bool held_ = false;
};

// ---- Modal dialogs ---------------------------------------------------------

// Waits on a second thread for a dialog or message box owned by `owner`,
// hands it to `answer`, and makes sure it is gone again: the test's own
// thread is inside the modal loop meanwhile.
class DialogAnswerer {
  public:
    DialogAnswerer(HWND owner, std::function<void(HWND)> answer)
        : thread_([this, owner, answer] { Run(owner, answer); })
    {
    }
    ~DialogAnswerer() { Join(); }
    void Join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    // Whether a dialog turned up, and its caption.
    bool found() const { return found_; }
    std::string caption;

  private:
    static HWND FindOwnedDialog(HWND owner)
    {
        HWND dialog = nullptr;
        while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)))
            if (GetWindow(dialog, GW_OWNER) == owner && IsWindowVisible(dialog))
                return dialog;
        return nullptr;
    }
    void Run(HWND owner, const std::function<void(HWND)> &answer)
    {
        HWND dialog = nullptr;
        DWORD start = GetTickCount();
        while (!(dialog = FindOwnedDialog(owner)) && GetTickCount() - start < 20000)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        if (!dialog)
            return;
        found_ = true;
        char text[256] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        answer(dialog);
        // A dialog that ignores the answer is cancelled, so the test ends.
        start = GetTickCount();
        while (IsWindow(dialog) && GetTickCount() - start < 10000)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        if (IsWindow(dialog)) {
            answerIgnored_ = true;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }

  public:
    bool answerIgnored() const { return answerIgnored_; }

  private:
    std::atomic<bool> found_{false};
    std::atomic<bool> answerIgnored_{false};
    std::thread thread_;
};

// Types the path into the file dialog's name box and presses OK.
inline void ChooseFile(HWND dialog, const std::string &path)
{
    // Explorer-style dialogs keep the name box as combo box 0x47C; the
    // older style uses edit 0x480.
    if (!SetDlgItemTextA(dialog, 0x47C, path.c_str()))
        SetDlgItemTextA(dialog, 0x480, path.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

inline void CancelDialog(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

// ---- Files -----------------------------------------------------------------

// A 24-bit BMP of one colour (0x00BBGGRR), bottom-up.
inline void WriteSolidBmp(const std::string &path, int width, int height, COLORREF colour)
{
    WriteBmp(path, width, height, [colour](int, int) { return colour; });
}

inline bool Contains(const std::vector<std::string> &commands, const std::string &command)
{
    for (const std::string &c : commands)
        if (c == command)
            return true;
    return false;
}
