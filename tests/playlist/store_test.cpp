// The store itself: appending, emptying and removing keep every other
// entry in its place.
#include "playlist_fixture.h"
#include "playlist/store.h"

namespace {

class PlaylistStoreTest : public PlaylistFixture {};

TEST_F(PlaylistStoreTest, AppendsCopiesInOrderWithDuplicates)
{
    std::string path = "C:\\a.mid";
    AddEntry(path.c_str());
    AddEntry("C:\\b.wav");
    AddEntry(path.c_str());
    path[3] = 'z';
    EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\a.mid", "C:\\b.wav", "C:\\a.mid"}));
    EXPECT_EQ(PlaylistCount(), 3);
    EXPECT_STREQ(PlaylistEntry(1), "C:\\b.wav");
}

TEST_F(PlaylistStoreTest, AppendsBeyondTheLimitWithoutTesting)
{
    AddNumberedEntries(MaxPlaylistEntries);
    AddEntry("");
    EXPECT_EQ(PlaylistCount(), 100);
    EXPECT_STREQ(PlaylistEntry(99), "");
}

TEST_F(PlaylistStoreTest, RemoveMovesLaterEntriesForward)
{
    struct Case {
        int index;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {0, {"b", "c"}},
        {1, {"a", "c"}},
        {2, {"a", "b"}},
    };
    for (const Case &c : cases) {
        ClearPlaylist();
        for (const char *path : {"a", "b", "c"})
            AddEntry(path);
        RemoveEntry(c.index);
        EXPECT_EQ(Entries(), c.left) << "removing " << c.index;
    }
}

TEST_F(PlaylistStoreTest, ClearEmptiesTheList)
{
    AddNumberedEntries(5);
    ClearPlaylist();
    EXPECT_EQ(PlaylistCount(), 0);
    ClearPlaylist();
    EXPECT_EQ(PlaylistCount(), 0);
}

} // namespace
