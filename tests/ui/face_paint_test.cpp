// The face as painted: the bevel, the fill colour, the time text and a
// picture, checked pixel by pixel in a canvas and on the screen.
#include "face_helpers.h"
#include "ui/face.h"

#include <cstdio>

namespace {

class FacePaintTest : public PlayerTest {
  protected:
    void SetUp() override { StartTestPlayer(folder.path()); }
    TempDir folder;
};

// Every pixel a face of 250 × 100 draws: the bevel around the edge, the
// frame inside it.
TEST_F(FacePaintTest, DrawsTheBevelWithOneColourPerCorner)
{
    FaceCanvas canvas;
    PaintFace(canvas.dc());
    for (int x = 1; x <= 249; ++x)
        ASSERT_EQ(canvas.At(x, 0), LightPenColour) << "top row x=" << x;
    for (int y = 0; y <= 98; ++y)
        ASSERT_EQ(canvas.At(0, y), LightPenColour) << "left column y=" << y;
    for (int x = 0; x <= 248; ++x)
        ASSERT_EQ(canvas.At(x, 99), DarkPenColour) << "bottom row x=" << x;
    for (int y = 1; y <= 99; ++y)
        ASSERT_EQ(canvas.At(249, y), DarkPenColour) << "right column y=" << y;

    struct Corner {
        int x, y;
        COLORREF colour;
    };
    const Corner corners[] = {
        {0, 0, LightPenColour}, {249, 0, LightPenColour}, {0, 99, DarkPenColour}, {249, 99, DarkPenColour}};
    for (const Corner &corner : corners)
        EXPECT_EQ(canvas.At(corner.x, corner.y), corner.colour) << corner.x << "," << corner.y;
}

TEST_F(FacePaintTest, ShowsTheFillColourAndTheZeroTimeWhenIdle)
{
    FaceCanvas canvas;
    PaintFace(canvas.dc());
    // Inside the bevel, every pixel is the fill colour except the time
    // text, which stays inside timeRect moved by one pixel.
    RECT text = player.timeRect;
    OffsetRect(&text, 1, 1);
    int textPixels = 0;
    for (int y = 1; y <= 98; ++y) {
        for (int x = 1; x <= 248; ++x) {
            COLORREF colour = canvas.At(x, y);
            POINT point = {x, y};
            if (colour == BackgroundColour)
                continue;
            ASSERT_TRUE(PtInRect(&text, point)) << "stray pixel at " << x << "," << y;
            if (colour == TimeColour)
                ++textPixels;
        }
    }
    EXPECT_GT(textPixels, 20);
    EXPECT_EQ(canvas.Mask(TimeColour), ExpectedTimeMask("00:00/00:00"));
}

TEST_F(FacePaintTest, WritesElapsedAndTotalMinutesAndSeconds)
{
    struct Case {
        uint32_t elapsed, total;
        const char *text;
    };
    const Case cases[] = {
        {65, 0, "01:05/00:00"},
        {5999, 6000, "99:59/100:00"},
        {59, 3599, "00:59/59:59"},
        {0, 600000, "00:00/10000:00"},
    };
    for (const Case &c : cases) {
        player.elapsedSeconds = c.elapsed;
        player.totalSeconds = c.total;
        FaceCanvas canvas;
        PaintFace(canvas.dc());
        EXPECT_EQ(canvas.Mask(TimeColour), ExpectedTimeMask(c.text)) << c.text;
        // Not the same as some other text.
        EXPECT_NE(canvas.Mask(TimeColour), ExpectedTimeMask("00:00/00:00")) << c.text;
    }
}

TEST_F(FacePaintTest, LeavesTheTimeFontSelectedNowhere)
{
    FaceCanvas canvas;
    HGDIOBJ penBefore = GetCurrentObject(canvas.dc(), OBJ_PEN);
    PaintFace(canvas.dc());
    EXPECT_EQ(GetCurrentObject(player.frameDC, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(player.frameDC, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(player.frameDC, OBJ_BITMAP), player.frameBitmap);
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), penBefore);
}

TEST_F(FacePaintTest, StretchesALoadedPictureOntoTheFace)
{
    std::string path = folder / "picture.bmp";
    WriteBytes(path, MakeBmp(640, 480, 24));
    ASSERT_TRUE(LoadBackground(path.c_str()));
    FaceCanvas canvas;
    PaintFace(canvas.dc());
    for (const QuarterPoint &point : QuarterPoints)
        EXPECT_EQ(canvas.At(point.x + 1, point.y + 1), point.colour) << point.x << "," << point.y;
    // The picture reaches the inner edge of the bevel on every side.
    EXPECT_EQ(canvas.At(1, 1), TopLeftColour);
    EXPECT_EQ(canvas.At(248, 1), TopRightColour);
    EXPECT_EQ(canvas.At(1, 98), BottomLeftColour);
    EXPECT_EQ(canvas.At(248, 98), BottomRightColour);
}

// On the real screen: the window shows the same face, and a new picture
// appears only once the window is repainted.
TEST_F(FacePaintTest, ReachesTheScreenOnlyWhenRepainted)
{
    HWND window = player.mainWindow;
    RepaintFace();
    HDC screen = GetDC(window);
    EXPECT_EQ(GetPixel(screen, 0, 0), LightPenColour);
    EXPECT_EQ(GetPixel(screen, 249, 0), LightPenColour);
    EXPECT_EQ(GetPixel(screen, 0, 99), DarkPenColour);
    EXPECT_EQ(GetPixel(screen, 249, 99), DarkPenColour);
    EXPECT_EQ(GetPixel(screen, 5, 60), BackgroundColour);
    EXPECT_EQ(GetPixel(screen, 130, 62), BackgroundColour);
    int textPixels = 0;
    for (int y = 71; y < 91; ++y)
        for (int x = 126; x < 238; ++x)
            textPixels += GetPixel(screen, x, y) == TimeColour;
    EXPECT_GT(textPixels, 20);

    std::string path = folder / "picture.bmp";
    WriteBytes(path, MakeBmp(640, 480, 24));
    ASSERT_TRUE(LoadBackground(path.c_str()));
    PumpMessages();
    EXPECT_EQ(GetPixel(screen, 5, 60), BackgroundColour);
    RepaintFace();
    EXPECT_EQ(GetPixel(screen, 5, 60), BottomLeftColour);
    EXPECT_EQ(GetPixel(screen, 130, 62), BottomRightColour);
    ReleaseDC(window, screen);
}

TEST_F(FacePaintTest, AThousandPaintsLeakNoGdiObject)
{
    HWND window = player.mainWindow;
    player.elapsedSeconds = 61;
    player.totalSeconds = 183;
    unsigned before = NextGdiSlot();
    for (int i = 0; i < 1000; ++i) {
        InvalidateRect(window, &player.timeRect, FALSE);
        UpdateWindow(window);
    }
    for (int i = 0; i < 1000; ++i) {
        FaceCanvas canvas;
        PaintFace(canvas.dc());
    }
    EXPECT_LE(NextGdiSlot(), before + GdiSlotSlack);
}

} // namespace
