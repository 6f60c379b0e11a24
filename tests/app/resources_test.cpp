// The program file carries its icon group 101 and its version.
#include "common/test_support.h"

namespace {

TEST(ResourcesTest, ProgramHasIconGroup101WithSmallAndLargeImages)
{
    HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HRSRC group = FindResourceA(program, MAKEINTRESOURCEA(101), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    HICON small = static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(101), IMAGE_ICON, 16, 16, 0));
    HICON large = static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(101), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(small, nullptr);
    EXPECT_NE(large, nullptr);
    DestroyIcon(small);
    DestroyIcon(large);
    FreeLibrary(program);
}

TEST(ResourcesTest, VersionNamesTunewell149)
{
    std::string path = ProgramPath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, &block[0]));
    char *text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\StringFileInfo\\041104B0\\ProductName",
                               reinterpret_cast<void **>(&text), &length));
    EXPECT_STREQ(text, "Tunewell");
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\StringFileInfo\\041104B0\\ProductVersion",
                               reinterpret_cast<void **>(&text), &length));
    EXPECT_STREQ(text, "1.49");
    VS_FIXEDFILEINFO *fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(49, 1)));
}

} // namespace
