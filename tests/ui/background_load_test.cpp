// The background picture against files good and bad: a picture is drawn
// onto the face, anything else leaves the face as it was.
#include "face_helpers.h"

#include "ui/bmp_header.h"
#include "ui/face.h"

#include <climits>

namespace {

std::string Patched(std::string bytes, size_t at, uint32_t value, int width = 4)
{
    PutLE(bytes, at, value, width);
    return bytes;
}

struct FileCase {
    std::string name;
    std::string bytes;
    bool accepted;
    bool quarters; // the four quarters show on the face
};

std::vector<FileCase> FileCases()
{
    const std::string large = MakeBmp(640, 480, 24);
    const std::string small = MakeBmp(16, 16, 24); // 54 + 16 × 48 = 822 bytes
    std::string jpeg = "\xFF\xD8\xFF\xE0";
    jpeg += std::string("\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 16);
    jpeg.resize(900, '\x55');
    std::string notBmp = small;
    notBmp[0] = 'X';
    std::string wrongSecondByte = small;
    wrongSecondByte[1] = 'X';
    std::string misalignedWidth = MakeBmp(13, 9, 24); // rows padded from 39 to 40 bytes

    return {
        {"24-bit 640x480", large, true, true},
        {"24-bit 16x16", small, true, true},
        {"24-bit 13x9 with padded rows", misalignedWidth, true, true},
        {"B with a wrong second byte", wrongSecondByte, true, true},
        {"24-bit stored top-down", MakeBmp(16, -16, 24), true, false},
        {"larger header inside the file", Patched(small, 14, 124), true, false},
        {"32-bit", MakeBmp(16, 16, 32), false, false},
        {"8-bit", MakeBmp(16, 16, 8), false, false},
        {"1-bit", Patched(small, 28, 1, 2), false, false},
        {"16-bit", Patched(small, 28, 16, 2), false, false},
        {"JPEG", jpeg, false, false},
        {"first byte not B", notBmp, false, false},
        {"empty file", "", false, false},
        {"29 bytes", small.substr(0, 29), false, false},
        {"30 bytes", small.substr(0, 30), false, false},
        {"header cut short", small.substr(0, 53), false, false},
        {"truncated rows", large.substr(0, large.size() - 1), false, false},
        {"half the rows", large.substr(0, large.size() / 2), false, false},
        {"pixel offset past the end", Patched(small, 10, 0xFFFFFFF0u), false, false},
        {"pixel offset one past the end", Patched(small, 10, 823), false, false},
        {"pixel offset too late for the rows", Patched(small, 10, 100), false, false},
        {"width one too many", Patched(small, 18, 17), false, false},
        {"huge width", Patched(small, 18, 0x7FFFFFFF), false, false},
        {"width whose row size wraps in 32 bits", Patched(small, 18, 0x55555556), false, false},
        {"negative width", Patched(small, 18, static_cast<uint32_t>(-16)), false, false},
        {"zero width", Patched(small, 18, 0), false, false},
        {"zero height", Patched(small, 22, 0), false, false},
        {"height one too many", Patched(small, 22, 17), false, false},
        {"huge height", Patched(small, 22, 0x7FFFFFFF), false, false},
        {"negative height one too many", Patched(small, 22, static_cast<uint32_t>(-17)), false, false},
        {"most negative height", Patched(small, 22, 0x80000000u), false, false},
        {"huge negative height", Patched(small, 22, static_cast<uint32_t>(-0x7FFFFFFF)), false, false},
        {"header size past the end", Patched(small, 14, 0xFFFFFFFFu), false, false},
        {"header size beyond the file", Patched(small, 14, 823), false, false},
        {"core header size", Patched(small, 14, 12), false, false},
        {"colour table past the end", Patched(small, 46, 0x40000000u), false, false},
        {"compressed rows", Patched(small, 30, 1), false, false},
    };
}

// The native fuzzer of the header check starts from these files.
void WriteSeedCorpus(const std::vector<FileCase> &cases)
{
    std::string native = BuildFolder() + "\\native";
    if (!FileExists(native))
        return;
    std::string corpus = native + "\\bmp_header_fuzzer-corpus";
    MakeFolder(corpus);
    int number = 0;
    for (const FileCase &c : cases) {
        // Large files slow the fuzzer down without teaching it more.
        if (c.bytes.size() > 4096)
            continue;
        WriteBytes(corpus + "\\seed" + std::to_string(++number) + ".bmp", c.bytes);
    }
}

class BackgroundLoadTest : public PlayerTest {
  protected:
    void SetUp() override { StartTestPlayer(folder.path()); }
    void ResetBackground()
    {
        FillRect(player.backgroundDC, &player.clientRect, player.backgroundBrush);
    }
    bool FaceShowsFill()
    {
        for (const QuarterPoint &point : QuarterPoints)
            if (GetPixel(player.backgroundDC, point.x, point.y) != BackgroundColour)
                return false;
        return true;
    }
    TempDir folder;
};

TEST_F(BackgroundLoadTest, DrawsPicturesAndRefusesEverythingElse)
{
    std::vector<FileCase> cases = FileCases();
    WriteSeedCorpus(cases);
    for (const FileCase &c : cases) {
        ResetBackground();
        std::string path = folder / "bg.bmp";
        WriteBytes(path, c.bytes);
        EXPECT_EQ(LoadBackground(path.c_str()), c.accepted) << c.name;
        if (c.quarters) {
            for (const QuarterPoint &point : QuarterPoints)
                EXPECT_EQ(GetPixel(player.backgroundDC, point.x, point.y), point.colour)
                    << c.name << " at " << point.x << "," << point.y;
        } else if (!c.accepted) {
            EXPECT_TRUE(FaceShowsFill()) << c.name;
        }
        // The block was read and let go: the file can be removed at once.
        EXPECT_TRUE(DeleteFileA(path.c_str())) << c.name;
    }
}

// The pure check agrees with the whole load, byte for byte of the file.
TEST_F(BackgroundLoadTest, HeaderCheckNamesThePartsItFound)
{
    const std::string small = MakeBmp(13, -9, 24);
    BmpPicture picture;
    ASSERT_TRUE(CheckBmpHeader(reinterpret_cast<const unsigned char *>(small.data()), small.size(), picture));
    EXPECT_EQ(picture.pixelOffset, 54u);
    EXPECT_EQ(picture.width, 13);
    EXPECT_EQ(picture.height, -9);
    EXPECT_EQ(picture.infoSize, 40u);
    EXPECT_EQ(picture.pixelBytes, 40u * 9);
    EXPECT_EQ(small.size(), 54u + 40 * 9);
    // One byte fewer and the last row no longer fits.
    EXPECT_FALSE(CheckBmpHeader(reinterpret_cast<const unsigned char *>(small.data()), small.size() - 1, picture));
}

TEST_F(BackgroundLoadTest, KeepsTheLastPictureWhenTheNextIsRefused)
{
    std::string good = folder / "good.bmp";
    std::string bad = folder / "bad.bmp";
    WriteBytes(good, MakeBmp(16, 16, 24));
    WriteBytes(bad, MakeBmp(16, 16, 32));
    ASSERT_TRUE(LoadBackground(good.c_str()));
    EXPECT_FALSE(LoadBackground(bad.c_str()));
    for (const QuarterPoint &point : QuarterPoints)
        EXPECT_EQ(GetPixel(player.backgroundDC, point.x, point.y), point.colour);
}

TEST_F(BackgroundLoadTest, RefusesAFileThatCannotBeOpened)
{
    std::string path = folder / "held.bmp";
    WriteBytes(path, MakeBmp(16, 16, 24));
    // Another handle holds the file without sharing it.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(LoadBackground(path.c_str()));
    EXPECT_TRUE(FaceShowsFill());
    CloseHandle(held);
    // A reader that shares the file still keeps it from the player: the
    // player asks for no sharing at all.
    held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(LoadBackground(path.c_str()));
    CloseHandle(held);

    EXPECT_TRUE(LoadBackground(path.c_str()));
    EXPECT_FALSE(LoadBackground((folder / "missing.bmp").c_str()));
    EXPECT_FALSE(LoadBackground(folder.path().c_str()));
}

TEST_F(BackgroundLoadTest, StartUpShowsTheBgBmpOfTheCurrentFolder)
{
    StopTestPlayer();
    TempDir pictureFolder;
    WriteBytes(pictureFolder / "bg.bmp", MakeBmp(640, 480, 24));
    StartTestPlayer(pictureFolder.path());
    FaceCanvas canvas;
    PaintFace(canvas.dc());
    for (const QuarterPoint &point : QuarterPoints)
        EXPECT_EQ(canvas.At(point.x + 1, point.y + 1), point.colour);
}

} // namespace
