// What the four buttons show: the outlined body, and the play, pause and
// stop symbols lit or unlit by the transport state.
#include "controls_fixture.h"

namespace controls_test {
namespace {

class ControlsPaintTest : public ControlsTest {};

bool OnOutline(int x, int y, int width, int height)
{
    return x == 0 || y == 0 || x == width - 1 || y == height - 1;
}

bool Inside(int x, int y, const RECT &r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

bool OnFrame(int x, int y, const RECT &r)
{
    return Inside(x, y, r) && (x == r.left || y == r.top || x == r.right - 1 || y == r.bottom - 1);
}

void ExpectPicture(const Picture &shown, const Picture &expected, const char *what)
{
    ASSERT_EQ(shown.width, expected.width) << what;
    ASSERT_EQ(shown.height, expected.height) << what;
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            if (shown.At(x, y) != expected.At(x, y) && ++wrong <= 5)
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << Hex(shown.At(x, y))
                              << ", expected " << Hex(expected.At(x, y));
    EXPECT_EQ(wrong, 0) << what;
}

// A 22 x 20 button body with the given face, and `symbol` deciding the
// colour of every pixel inside the outline that it claims.
template <typename Symbol> Picture ExpectedButton(COLORREF face, Symbol symbol)
{
    Picture picture;
    picture.width = 22;
    picture.height = 20;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 22; ++x) {
            COLORREF colour = OnOutline(x, y, 22, 20) ? FrameColour : face;
            if (!OnOutline(x, y, 22, 20))
                symbol(x, y, colour);
            picture.pixels.push_back(colour);
        }
    return picture;
}

TEST_F(ControlsPaintTest, CloseButtonIsItsBodyAlone)
{
    Picture shown = Capture(player.closeButton);
    ExpectPicture(shown, ExpectedButton(CloseColour, [](int, int, COLORREF &) {}), "close");
}

TEST_F(ControlsPaintTest, StopButtonShowsAnUnlitSquareInEveryState)
{
    const RECT square = {6, 5, 15, 15};
    Picture expected = ExpectedButton(FaceColour, [&](int x, int y, COLORREF &colour) {
        if (Inside(x, y, square))
            colour = IdleColour;
    });
    for (Transport state : {Idle, Playing, Paused, Stopped}) {
        SetTransportFlags(state, Mci);
        ExpectPicture(Capture(player.stopButton), expected, TransportName(state));
    }
}

TEST_F(ControlsPaintTest, PauseBarsAreLitOnlyWhilePaused)
{
    const RECT bars[] = {{6, 5, 9, 15}, {12, 5, 15, 15}};
    for (Transport state : {Idle, Playing, Paused, Stopped}) {
        SetTransportFlags(state, Mci);
        COLORREF fill = state == Paused ? ActiveColour : IdleColour;
        Picture expected = ExpectedButton(FaceColour, [&](int x, int y, COLORREF &colour) {
            for (const RECT &bar : bars)
                if (Inside(x, y, bar))
                    colour = OnFrame(x, y, bar) ? IdleColour : fill;
        });
        ExpectPicture(Capture(player.pauseButton), expected, TransportName(state));
    }
}

TEST_F(ControlsPaintTest, PlayTriangleRunsThroughItsThreeCorners)
{
    SetTransportFlags(Playing, Mci);
    Picture shown = Capture(player.playButton);
    ASSERT_EQ(shown.width, 22);
    ASSERT_EQ(shown.height, 20);

    // The corners and the left edge are on the black outline.
    for (POINT corner : {POINT{5, 4}, POINT{5, 15}, POINT{17, 10}})
        EXPECT_EQ(shown.At(corner.x, corner.y), FrameColour) << corner.x << ", " << corner.y;
    for (int y = 4; y <= 15; ++y)
        EXPECT_EQ(shown.At(5, y), FrameColour) << "left edge at y " << y;
    // Just beyond the corners is the face.
    for (POINT outside : {POINT{4, 10}, POINT{5, 3}, POINT{5, 16}, POINT{18, 10}})
        EXPECT_EQ(shown.At(outside.x, outside.y), FaceColour) << outside.x << ", " << outside.y;
    // Nothing of the triangle lies outside its bounding box.
    for (int y = 1; y < 19; ++y)
        for (int x = 1; x < 21; ++x)
            if (x < 5 || x > 17 || y < 4 || y > 15) {
                EXPECT_EQ(shown.At(x, y), FaceColour) << x << ", " << y;
            }
    // Inside: filled along the middle row up to the black tip.
    for (int x = 6; x <= 15; ++x)
        EXPECT_EQ(shown.At(x, 10), ActiveColour) << "middle row at x " << x;
}

TEST_F(ControlsPaintTest, SymbolsLightUpByTransportState)
{
    struct Case {
        Transport state;
        COLORREF triangle;
        COLORREF bars;
    };
    const Case cases[] = {
        {Playing, ActiveColour, IdleColour},
        {Paused, IdleColour, ActiveColour},
        {Stopped, IdleColour, IdleColour},
        {Idle, IdleColour, IdleColour},
    };
    for (const Case &c : cases) {
        for (BackEnd backEnd : {Mci, Mp3Engine}) {
            SetTransportFlags(c.state, backEnd);
            Picture play = Capture(player.playButton);
            Picture pause = Capture(player.pauseButton);
            Picture stop = Capture(player.stopButton);
            SCOPED_TRACE(TransportName(c.state));
            EXPECT_EQ(Hex(play.At(9, 10)), Hex(c.triangle));
            EXPECT_EQ(Hex(pause.At(7, 10)), Hex(c.bars));
            EXPECT_EQ(Hex(pause.At(13, 10)), Hex(c.bars));
            EXPECT_EQ(Hex(stop.At(10, 10)), Hex(IdleColour));
            // Only the play symbol may use the lit colour while playing,
            // only the pause symbol while paused, and nothing otherwise.
            EXPECT_EQ(CountColour(play, ActiveColour, 0, 0, 22, 20) > 0, c.state == Playing);
            EXPECT_EQ(CountColour(pause, ActiveColour, 0, 0, 22, 20) > 0, c.state == Paused);
            EXPECT_EQ(CountColour(stop, ActiveColour, 0, 0, 22, 20), 0);
        }
    }
}

TEST_F(ControlsPaintTest, GeometryFollowsTheControlsOwnSize)
{
    // A larger play button: the corners scale with it, multiplied first.
    Place(player.playButton, 40, 36, 45, 37);
    SetTransportFlags(Idle, Mci);
    Picture shown = Capture(player.playButton);
    ASSERT_EQ(shown.width, 45);
    ASSERT_EQ(shown.height, 37);
    // (45/4, 37/5) = (11, 7); (11, 3*37/4) = (11, 27); (4*45/5, 37/2) = (36, 18)
    for (POINT corner : {POINT{11, 7}, POINT{11, 27}, POINT{36, 18}})
        EXPECT_EQ(shown.At(corner.x, corner.y), FrameColour) << corner.x << ", " << corner.y;
    EXPECT_EQ(shown.At(10, 18), FaceColour);
    EXPECT_EQ(shown.At(37, 18), FaceColour);
    EXPECT_EQ(shown.At(20, 18), IdleColour);
    EXPECT_EQ(shown.At(44, 36), FrameColour);
    EXPECT_EQ(shown.At(43, 35), FaceColour);
}

TEST_F(ControlsPaintTest, PaintingLeavesTheDeviceContextAsItWas)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 230, 22);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    player.title = "song.wav";
    player.playlist = {"C:\\song.wav"};
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const COLORREF textColour = GetTextColor(dc);
    const int mode = GetBkMode(dc);
    for (auto paint : {PaintCloseButton, PaintPlayButton, PaintPauseButton, PaintStopButton, PaintLabel}) {
        for (Transport state : {Idle, Playing, Paused}) {
            SetTransportFlags(state, Mci);
            paint(dc, 22, 20);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
            EXPECT_EQ(GetTextColor(dc), textColour);
            EXPECT_EQ(GetBkMode(dc), mode);
        }
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// The children where the main window lays them out: a press repaints the
// whole face, and the controls show over it.
class ControlsOnTheFaceTest : public PlayerTest {
  protected:
    TempDir folder;
};

// The colour at (x, y) of `child`, read from the main window's own DC.
COLORREF OnFace(HDC faceDC, HWND child, int x, int y)
{
    POINT at = {x, y};
    MapWindowPoints(child, player.mainWindow, &at, 1);
    return GetPixel(faceDC, at.x, at.y);
}

TEST_F(ControlsOnTheFaceTest, PressRepaintsTheControlsOverTheFace)
{
    std::string song = folder / "song.wav";
    WriteToneWav(song, 1, 440);
    StartTestPlayer(folder.path());
    player.playlist = {song};
    player.title = "song.wav";
    SetTransportFlags(Playing, Mci);
    MciRecorder mci;
    Press(player.pauseButton);
    ASSERT_EQ(CurrentTransport(), Paused);

    HDC faceDC = GetDC(player.mainWindow);
    EXPECT_EQ(Hex(OnFace(faceDC, player.closeButton, 0, 0)), Hex(FrameColour));
    EXPECT_EQ(Hex(OnFace(faceDC, player.closeButton, 2, 2)), Hex(CloseColour));
    EXPECT_EQ(Hex(OnFace(faceDC, player.playButton, 9, 10)), Hex(IdleColour));
    EXPECT_EQ(Hex(OnFace(faceDC, player.pauseButton, 7, 10)), Hex(ActiveColour));
    EXPECT_EQ(Hex(OnFace(faceDC, player.pauseButton, 13, 10)), Hex(ActiveColour));
    EXPECT_EQ(Hex(OnFace(faceDC, player.stopButton, 10, 10)), Hex(IdleColour));
    EXPECT_EQ(Hex(OnFace(faceDC, player.labelWindow, 1, 1)), Hex(LabelColour));
    ReleaseDC(player.mainWindow, faceDC);
}

} // namespace
} // namespace controls_test
