// The player's real window with its five owner-drawn children placed where
// a test can see them, the transport states set by hand, and pictures of a
// control as it reached the screen.
#pragma once

#include "common/test_support.h"

#include "ui/controls/controls.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace controls_test {

// What a control showed, one COLORREF per pixel, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[y * width + x]; }
    bool operator==(const Picture &other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// Copies what `dc` shows in (0, 0, width, height).
inline Picture CopyPixels(HDC dc, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copyDC = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(copyDC, dib);
    BitBlt(copyDC, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    Picture picture;
    picture.width = width;
    picture.height = height;
    const uint32_t *row = static_cast<const uint32_t *>(bits);
    for (int i = 0; i < width * height; ++i)
        picture.pixels.push_back(RGB((row[i] >> 16) & 0xFF, (row[i] >> 8) & 0xFF, row[i] & 0xFF));
    SelectObject(copyDC, old);
    DeleteDC(copyDC);
    DeleteObject(dib);
    return picture;
}

// Repaints `window` through its own WM_PAINT and reads it back from the
// screen.
inline Picture Capture(HWND window)
{
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    RECT bounds;
    GetWindowRect(window, &bounds);
    HDC dc = GetDC(window);
    Picture picture = CopyPixels(dc, bounds.right - bounds.left, bounds.bottom - bounds.top);
    ReleaseDC(window, dc);
    return picture;
}

inline int CountColour(const Picture &picture, COLORREF colour, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += picture.At(x, y) == colour;
    return count;
}

inline std::string Hex(COLORREF colour)
{
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(colour));
    return text;
}

// The four transport states by their short names, for the tables.
const Transport Idle = Transport::Idle;
const Transport Playing = Transport::Playing;
const Transport Paused = Transport::Paused;
const Transport Stopped = Transport::Stopped;

inline void Press(HWND button) { SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); }

// What a double-click delivers: a press, then the double-click message.
inline void DoubleClick(HWND button)
{
    Press(button);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

// The label and the buttons at sizes of the tests' choosing, side by side
// so that none covers another; the slider out of their way.
class ControlsTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        StartTestPlayer(folder.path());
        ASSERT_TRUE(IsWindow(player.mainWindow));
        Place(player.labelWindow, 10, 4, 230, 22);
        Place(player.closeButton, 10, 36, 22, 20);
        Place(player.playButton, 40, 36, 22, 20);
        Place(player.pauseButton, 70, 36, 22, 20);
        Place(player.stopButton, 100, 36, 22, 20);
        Place(player.trackBar, 10, 66, 230, 24);
        PumpMessages();
    }

    static void Place(HWND child, int x, int y, int width, int height)
    {
        SetWindowPos(child, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The slider as a playing track leaves it: somewhere along its range,
    // enabled only while playing.
    static void PrepareSlider(Transport state)
    {
        SendMessageA(player.trackBar, TBM_SETRANGEMAX, TRUE, 100);
        SendMessageA(player.trackBar, TBM_SETPOS, TRUE, state == Stopped ? 0 : 40);
        EnableWindow(player.trackBar, state == Playing);
    }
    static LRESULT SliderPosition() { return SendMessageA(player.trackBar, TBM_GETPOS, 0, 0); }

    TempDir folder;
};

} // namespace controls_test
