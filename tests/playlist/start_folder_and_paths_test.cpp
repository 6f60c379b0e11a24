// The current directory D and path joining: nothing is ever cut into a
// different path or written past a path buffer, and a folder whose name
// code page 932 cannot hold is named by a path that opens it.
#include "common/test_support.h"

#include "core/paths.h"
#include "playlist/narrow_path.h"

#include <cstring>

namespace {

TEST(PathsTest, DriveRootGetsNoSecondBackslash)
{
    SetCurrentDirectoryA("C:\\");
    char directory[PathBufferSize];
    ASSERT_TRUE(CurrentDirectoryWithBackslash(directory));
    EXPECT_STREQ(directory, "C:\\");
}

TEST(PathsTest, FolderGetsOneTrailingBackslash)
{
    TempDir folder;
    SetCurrentDirectoryA(folder.path().c_str());
    char directory[PathBufferSize];
    ASSERT_TRUE(CurrentDirectoryWithBackslash(directory));
    EXPECT_EQ(std::string(directory), folder.path() + "\\");
}

TEST(PathsTest, FolderEndingInATrailByte0x5CGetsItsBackslash)
{
    TempDir folder;
    // 表, ソ, 能, 十, 予: each ends in the byte 0x5C.
    for (const char *name : {"\x95\x5C", "\x83\x5C", "\x94\x5C", "\x8F\x5C", "\x97\x5C"}) {
        std::string inside = folder / name;
        ASSERT_TRUE(CreateDirectoryA(inside.c_str(), nullptr)) << name;
        ASSERT_TRUE(SetCurrentDirectoryA(inside.c_str())) << name;
        char directory[PathBufferSize];
        ASSERT_TRUE(CurrentDirectoryWithBackslash(directory));
        EXPECT_EQ(std::string(directory), inside + "\\") << name;
    }
    SetCurrentDirectoryA("C:\\");
}

TEST(PathsTest, FolderNamedOutsideTheCodePageIsNamedByItsShortForm)
{
    TempDir folder;
    std::wstring cafe = WidenText(folder.path().c_str()) + L"\\Musique-Caf\u00E9";
    ASSERT_TRUE(CreateDirectoryW(cafe.c_str(), nullptr));
    // A look-alike folder that the narrow functions would take instead.
    MakeFolder(folder / "Musique-Cafe");
    ASSERT_TRUE(SetCurrentDirectoryW(cafe.c_str()));
    char directory[PathBufferSize];
    ASSERT_TRUE(CurrentDirectoryWithBackslash(directory));
    std::string narrow = directory;
    EXPECT_EQ(narrow.find("Musique-Cafe"), std::string::npos) << narrow;
    // The short form opens the folder itself: a file made through it is
    // there under the wide name.
    WriteBytes(narrow + "probe.txt", "x");
    EXPECT_NE(GetFileAttributesW((cafe + L"\\probe.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    SetCurrentDirectoryA("C:\\");
}

TEST(PathsTest, JoinRefusesResultsOverTwoHundredSixtyCharacters)
{
    struct Case {
        size_t baseLength;
        size_t nameLength;
        bool fits;
    };
    const Case cases[] = {{252, 8, true}, {253, 8, false}, {0, 260, true}, {260, 0, true}, {200, 100, false}};
    for (const Case &c : cases) {
        std::string base(c.baseLength, 'b');
        std::string name(c.nameLength, 'n');
        char out[PathBufferSize + 8];
        std::memset(out, 'x', sizeof out);
        char(&buffer)[PathBufferSize] = *reinterpret_cast<char(*)[PathBufferSize]>(out);
        EXPECT_EQ(JoinPath(buffer, base.c_str(), name.c_str()), c.fits) << c.baseLength << "+" << c.nameLength;
        EXPECT_EQ(std::string(out), c.fits ? base + name : std::string());
        // The bytes after the buffer are untouched.
        EXPECT_EQ(std::string(out + PathBufferSize, 8), std::string(8, 'x'));
    }
}

} // namespace
