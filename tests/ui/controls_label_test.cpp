// What the title label shows: the file name, cut with "..." before the
// counter's 48 pixels, and the counter, grey in repeat mode.
#include "controls_fixture.h"

#include <cstring>

namespace controls_test {
namespace {

const COLORREF TitleColour = 0x0000FFC0;
const COLORREF CounterColour = 0x00FFE040;
const COLORREF RepeatCounterColour = 0x00C0C0C0;
// The label is 230 x 22: title in (0, 0, 182, 22), counter in (182, 0, 230, 21).
const int Width = 230;
const int Height = 22;
const int CounterLeft = 182;

class ControlsLabelTest : public ControlsTest {
  protected:
    void ShowEntries(const std::string &title, uint32_t currentIndex, size_t count)
    {
        player.title = title;
        player.currentIndex = currentIndex;
        player.playlist.assign(count, "C:\\music\\x.wav");
    }
};

TEST_F(ControlsLabelTest, EmptyTitleShowsOnlyTheBackground)
{
    ShowEntries("", 2, 12);
    Picture shown = Capture(player.labelWindow);
    ASSERT_EQ(shown.width, Width);
    ASSERT_EQ(shown.height, Height);
    EXPECT_EQ(CountColour(shown, LabelColour, 0, 0, Width, Height), Width * Height);
}

TEST_F(ControlsLabelTest, CounterIsGreyInRepeatModeAndLightBlueOtherwise)
{
    ShowEntries("song.wav", 4, 12);
    for (int32_t repeat : {0, 1}) {
        player.repeatMode = repeat;
        Picture shown = Capture(player.labelWindow);
        COLORREF expected = repeat ? RepeatCounterColour : CounterColour;
        COLORREF other = repeat ? CounterColour : RepeatCounterColour;
        SCOPED_TRACE(repeat ? "repeat" : "random");
        EXPECT_GT(CountColour(shown, expected, CounterLeft, 0, Width, Height - 1), 0);
        EXPECT_EQ(CountColour(shown, other, 0, 0, Width, Height), 0);
        // Only in the counter's area, and never on the bottom row.
        EXPECT_EQ(CountColour(shown, expected, 0, 0, CounterLeft, Height), 0);
        EXPECT_EQ(CountColour(shown, expected, 0, Height - 1, Width, Height), 0);
        // The title shows in its own colour, left of the counter.
        EXPECT_GT(CountColour(shown, TitleColour, 0, 0, CounterLeft, Height), 0);
        EXPECT_EQ(CountColour(shown, TitleColour, CounterLeft, 0, Width, Height), 0);
    }
}

// `text` drawn alone over the label's background, in `font` and `colour`,
// into `area` with `format`: what the label draws, without any cutting.
Picture DrawAsTheLabel(HDC windowDC, const char *text, HFONT font, COLORREF colour, RECT area, UINT format)
{
    HDC dc = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, Width, Height);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT whole = {0, 0, Width, Height};
    FillRect(dc, &whole, player.labelBrush);
    HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &area, format);
    SelectObject(dc, oldFont);
    Picture picture = CopyPixels(dc, Width, Height);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

// The text `shown` drawn as the label draws its title.
Picture DrawTitleAsShown(HDC windowDC, const char *shown)
{
    return DrawAsTheLabel(windowDC, shown, player.titleFont, TitleColour, RECT{0, 0, CounterLeft, Height},
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// What the platform makes of `title` cut with an end ellipsis to the
// title's width.
std::string CutTitle(HDC windowDC, const std::string &title)
{
    HDC dc = CreateCompatibleDC(windowDC);
    HGDIOBJ oldFont = SelectObject(dc, player.titleFont ? player.titleFont : GetStockObject(SYSTEM_FONT));
    std::vector<char> text(title.begin(), title.end());
    text.resize(title.size() + 5, '\0');
    RECT area = {0, 0, CounterLeft, Height};
    DrawTextA(dc, text.data(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    return text.data();
}

TEST_F(ControlsLabelTest, LongTitleEndsInAnEllipsisAndNeverReachesTheCounter)
{
    const std::string longTitle(120, 'W');
    ShowEntries("W.wav", 0, 1);
    Picture shortShown = Capture(player.labelWindow);
    ShowEntries(longTitle, 0, 1);
    Picture longShown = Capture(player.labelWindow);

    // The counter's 48 pixels are the same whatever the title.
    for (int y = 0; y < Height; ++y)
        for (int x = CounterLeft; x < Width; ++x)
            ASSERT_EQ(longShown.At(x, y), shortShown.At(x, y)) << x << ", " << y;

    // The title shows as its beginning and "...", nothing more.
    HDC windowDC = GetDC(player.labelWindow);
    std::string cut = CutTitle(windowDC, longTitle);
    ASSERT_GT(cut.size(), 3u);
    ASSERT_LT(cut.size(), longTitle.size());
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(cut.substr(0, cut.size() - 3), longTitle.substr(0, cut.size() - 3));
    Picture expected = DrawTitleAsShown(windowDC, cut.c_str());
    ReleaseDC(player.labelWindow, windowDC);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < CounterLeft; ++x)
            ASSERT_EQ(Hex(longShown.At(x, y)), Hex(expected.At(x, y))) << x << ", " << y;
    // Drawing does not change the title itself.
    EXPECT_EQ(player.title, longTitle);
}

TEST_F(ControlsLabelTest, AmpersandInTheTitleIsShownAsItself)
{
    ShowEntries("R&B.wav", 0, 1);
    Picture shown = Capture(player.labelWindow);
    HDC windowDC = GetDC(player.labelWindow);
    // Drawn with prefixes, "&&" is one "&": the picture of "R&B.wav".
    Picture expected = DrawTitleAsShown(windowDC, "R&&B.wav");
    ReleaseDC(player.labelWindow, windowDC);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < CounterLeft; ++x)
            ASSERT_EQ(Hex(shown.At(x, y)), Hex(expected.At(x, y))) << x << ", " << y;
    EXPECT_EQ(player.title, "R&B.wav");
}

TEST(ControlsCounterText, FormatsEntryNumberAndCount)
{
    struct Case {
        uint32_t currentIndex;
        size_t count;
        const char *text;
    };
    const Case cases[] = {
        {4, 12, "05/12"},
        {99, 100, "100/100"},
        {2, 0, "03/00"}, // the list emptied under a playing track
        {0, 1, "01/01"},
        {98, 103, "99/103"},
    };
    for (const Case &c : cases) {
        char text[CounterTextSize];
        std::memset(text, 'x', sizeof text);
        FormatCounter(text, c.currentIndex, c.count);
        EXPECT_STREQ(text, c.text);
    }
}

TEST(ControlsCounterText, StaysInsideItsBufferForAnyCount)
{
    char text[CounterTextSize + 4];
    std::memset(text, '#', sizeof text);
    FormatCounter(reinterpret_cast<char(&)[CounterTextSize]>(text), 999999, 1000000);
    EXPECT_EQ(std::strlen(text), static_cast<size_t>(CounterTextSize - 1));
    for (size_t i = CounterTextSize; i < sizeof text; ++i)
        EXPECT_EQ(text[i], '#');
}

TEST_F(ControlsLabelTest, CounterShowsTheOldPositionOverAnEmptiedList)
{
    // The counter drawn by the label matches the text 03/00 drawn alone.
    ShowEntries("song.wav", 2, 0);
    Picture shown = Capture(player.labelWindow);
    HDC windowDC = GetDC(player.labelWindow);
    Picture expected = DrawAsTheLabel(windowDC, "03/00", player.counterFont, CounterColour,
                                      RECT{CounterLeft, 0, Width, Height - 1}, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    ReleaseDC(player.labelWindow, windowDC);
    for (int y = 0; y < Height; ++y)
        for (int x = CounterLeft; x < Width; ++x)
            ASSERT_EQ(Hex(shown.At(x, y)), Hex(expected.At(x, y))) << x << ", " << y;
}

} // namespace
} // namespace controls_test
