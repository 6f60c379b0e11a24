// Whether a path names a folder: the one table of the rule. The command
// line, list files and drops each check once that they ask it.
#include "playlist_fixture.h"

#include "playlist/folder.h"

namespace {

class FolderTest : public PlaylistFixture {
  protected:
    TempDir folder;
};

// The extra attribute bits a user's folder may carry, and whether the
// platform keeps them: Wine keeps hidden and system on a folder, but not
// read-only, archive or not-content-indexed.
TEST_F(FolderTest, FolderIsAFolderWhateverElseItIsMarked)
{
    struct Case {
        const char *name;
        DWORD attribute;
        bool mustBeKept;
    };
    const Case cases[] = {
        {"no further attribute", FILE_ATTRIBUTE_NORMAL, false},
        {"read-only", FILE_ATTRIBUTE_READONLY, false},
        {"hidden", FILE_ATTRIBUTE_HIDDEN, true},
        {"system", FILE_ATTRIBUTE_SYSTEM, true},
        {"hidden and read-only", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, true},
        {"hidden, system and archive", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, true},
        {"not content-indexed", FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, false},
    };
    std::string marked = folder / "marked";
    MakeFolder(marked);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetFileAttributesA(marked.c_str(), c.attribute));
        DWORD attributes = GetFileAttributesA(marked.c_str());
        if (c.mustBeKept) {
            ASSERT_NE(attributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
        }
        ASSERT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
        // A customised or hidden folder is a folder all the same.
        EXPECT_TRUE(IsFolder(marked.c_str())) << "attributes " << attributes;
        EXPECT_TRUE(IsFolder((marked + "\\").c_str())) << "attributes " << attributes;
        SetFileAttributesA(marked.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(FolderTest, FoldersByTheirKindNotTheirName)
{
    // Wine reports a folder whose name starts with a dot as hidden; a
    // user's own Music folder may be marked so.
    std::string dotted = folder / ".hidden";
    MakeFolder(dotted);
    // A folder named like a list file or a track is still a folder.
    std::string listLike = folder / "x.txt";
    MakeFolder(listLike);
    std::string trackLike = folder / "y.wav";
    MakeFolder(trackLike);
    std::string file = folder / "a.wav";
    Touch(file);
    std::string hiddenFile = folder / "hidden.mid";
    Touch(hiddenFile);
    ASSERT_TRUE(SetFileAttributesA(hiddenFile.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));

    struct Case {
        std::string path;
        bool folder;
    };
    const Case cases[] = {
        {folder.path(), true},
        {dotted, true},
        {listLike, true},
        {trackLike, true},
        {file, false},
        {hiddenFile, false},
        {folder / "missing", false},
        {folder / "missing\\a.wav", false},
        {"", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsFolder(c.path.c_str()), c.folder) << "[" << c.path << "]";
    SetFileAttributesA(hiddenFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
