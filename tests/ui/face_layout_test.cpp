// Where the children sit, the three fonts and the time rectangle, at the
// window's fixed size of 250 × 100.
#include "face_helpers.h"
#include "ui/face.h"

namespace {

TEST(FaceLayout, ProportionTruncatesTheDoubleProduct)
{
    struct Case {
        int dimension, percent, expected;
    };
    const Case cases[] = {
        {58, 50, 28}, // 58 × 0.01 × 50 lies just below 29
        {250, 4, 10},  {250, 92, 230}, {250, 5, 12},   {250, 7, 17},  {250, 15, 37}, {250, 27, 67},
        {250, 39, 97}, {250, 9, 22},   {250, 50, 125}, {250, 95, 237}, {100, 8, 8},   {100, 35, 35},
        {100, 70, 70}, {100, 16, 16},  {100, 14, 14},  {100, 12, 12},  {-58, 50, -28}, {0, 50, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Proportion(c.dimension, c.percent), c.expected) << c.dimension << " " << c.percent;
}

class FaceLayoutTest : public PlayerTest {};

TEST_F(FaceLayoutTest, PlacesTheSixChildrenAt250By100)
{
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    struct Place {
        HWND child;
        const char *name;
        int x, y, width, height;
    };
    const Place places[] = {
        {player.labelWindow, "label", 10, 8, 230, 22},  {player.trackBar, "trackbar", 10, 35, 230, 22},
        {player.closeButton, "close", 12, 70, 17, 20},  {player.playButton, "play", 37, 70, 22, 20},
        {player.pauseButton, "pause", 67, 70, 22, 20}, {player.stopButton, "stop", 97, 70, 22, 20},
    };
    for (const Place &place : places) {
        RECT bounds;
        GetWindowRect(place.child, &bounds);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&bounds), 2);
        EXPECT_EQ(bounds.left, place.x) << place.name;
        EXPECT_EQ(bounds.top, place.y) << place.name;
        EXPECT_EQ(bounds.right - bounds.left, place.width) << place.name;
        EXPECT_EQ(bounds.bottom - bounds.top, place.height) << place.name;
    }
}

TEST_F(FaceLayoutTest, MakesThreeFixedPitchShiftJisFonts)
{
    TempDir folder;
    StartTestPlayer(folder.path());
    struct Font {
        HFONT handle;
        const char *name;
        LONG height, weight;
    };
    const Font fonts[] = {
        {player.titleFont, "title", 16, 600}, {player.timeFont, "time", 14, 600}, {player.counterFont, "counter", 12, 500}};
    for (const Font &font : fonts) {
        LOGFONTA info;
        ASSERT_EQ(GetObjectA(font.handle, sizeof info, &info), static_cast<int>(sizeof info)) << font.name;
        EXPECT_EQ(info.lfHeight, font.height) << font.name;
        EXPECT_EQ(info.lfWidth, 0) << font.name;
        EXPECT_EQ(info.lfEscapement, 0) << font.name;
        EXPECT_EQ(info.lfOrientation, 0) << font.name;
        EXPECT_EQ(info.lfWeight, font.weight) << font.name;
        EXPECT_EQ(info.lfItalic, 0) << font.name;
        EXPECT_EQ(info.lfUnderline, 0) << font.name;
        EXPECT_EQ(info.lfStrikeOut, 0) << font.name;
        EXPECT_EQ(info.lfCharSet, SHIFTJIS_CHARSET) << font.name;
        EXPECT_EQ(info.lfOutPrecision, OUT_DEFAULT_PRECIS) << font.name;
        EXPECT_EQ(info.lfClipPrecision, CLIP_DEFAULT_PRECIS) << font.name;
        EXPECT_EQ(info.lfQuality, DEFAULT_QUALITY) << font.name;
        EXPECT_EQ(info.lfPitchAndFamily, FIXED_PITCH) << font.name;
        EXPECT_STREQ(info.lfFaceName, "") << font.name;
    }
}

TEST_F(FaceLayoutTest, SetsTheTimeRectangle)
{
    TempDir folder;
    StartTestPlayer(folder.path());
    EXPECT_EQ(player.timeRect.left, 125);
    EXPECT_EQ(player.timeRect.top, 70);
    EXPECT_EQ(player.timeRect.right, 237);
    EXPECT_EQ(player.timeRect.bottom, 90);
}

} // namespace
