// The title label: the open track's file name, cut with "..." where it is
// too wide, and the entry counter in the label's last 48 pixels.
#include "core/palette.h"
#include "core/player_state.h"
#include "ui/controls/controls.h"
#include "ui/dc_selection.h"

#include <cstdio>

// The counter keeps the label's right end; the title gets the rest.
const int CounterWidth = 48;
const COLORREF CounterColour = 0x00FFE040;
const COLORREF RepeatCounterColour = 0x00C0C0C0;

void FormatCounter(char (&text)[CounterTextSize], uint32_t currentIndex, size_t count)
{
    // Bounded: the count has no hard limit, and the text must never run
    // past its buffer whatever the list has grown to.
    std::snprintf(text, sizeof text, "%02d/%02d", static_cast<int>(currentIndex + 1), static_cast<int>(count));
}

void PaintLabel(HDC dc, int width, int height)
{
    RECT whole = {0, 0, width, height};
    FillRect(dc, &whole, player.labelBrush);
    if (player.title.empty())
        return;

    ScopedTextStyle style(dc, TextColour);
    ScopedSelection font(dc, player.titleFont);
    // A file name's "&" is a letter, not the mark of an underlined one.
    RECT titleArea = {0, 0, width - CounterWidth, height};
    DrawTextA(dc, player.title.c_str(), static_cast<int>(player.title.size()), &titleArea,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);

    char counter[CounterTextSize];
    FormatCounter(counter, player.currentIndex, player.playlist.size());
    style.Colour(player.repeatMode ? RepeatCounterColour : CounterColour);
    font.Select(player.counterFont);
    // Resting on the row above the label's bottom row.
    RECT counterArea = {width - CounterWidth, 0, width, height - 1};
    DrawTextA(dc, counter, lstrlenA(counter), &counterArea, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
}

LRESULT CALLBACK LabelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        PaintControl(window, PaintLabel);
    return DefWindowProcA(window, message, wParam, lParam);
}
