// The end-of-play notice reaching the main window: only a play that ran to
// its end moves the playlist on.
#include "common/test_support.h"


#include <mmsystem.h>

#include <string>
#include <vector>

namespace {

class PlayTrackNoticeTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        StartTestPlayer(folder.path());
        mci.Clear();
    }

    TempDir folder;
    MciRecorder mci;
};

struct NoticeCase {
    const char *name;
    WPARAM code;
    Transport state;
    BackEnd backEnd;
    bool advances;
};

// Only the natural end of the MCI track that is playing moves on. Wine's
// wave player answers a play on a paused device with a successful notice
// at once; a notice may also come late, from a track already replaced.
TEST_F(PlayTrackNoticeTest, OnlyASuccessfulEndOfThePlayingMciTrackAdvances)
{
    const NoticeCase cases[] = {
        {"successful", MCI_NOTIFY_SUCCESSFUL, Transport::Playing, Mci, true},
        {"superseded", MCI_NOTIFY_SUPERSEDED, Transport::Playing, Mci, false},
        {"aborted", MCI_NOTIFY_ABORTED, Transport::Playing, Mci, false},
        {"failure", MCI_NOTIFY_FAILURE, Transport::Playing, Mci, false},
        {"no code", 0, Transport::Playing, Mci, false},
        {"successful while paused", MCI_NOTIFY_SUCCESSFUL, Transport::Paused, Mci, false},
        {"successful while stopped", MCI_NOTIFY_SUCCESSFUL, Transport::Stopped, Mci, false},
        {"successful with nothing open", MCI_NOTIFY_SUCCESSFUL, Transport::Idle, Mci, false},
        {"successful while the engine plays", MCI_NOTIFY_SUCCESSFUL, Transport::Playing, Mp3Engine, false},
    };
    FakeEngine engine;
    for (const NoticeCase &c : cases) {
        SCOPED_TRACE(c.name);
        player.playlist = {"C:\\snd\\a.wav", "C:\\snd\\b.wav"};
        player.repeatMode = 1;
        player.currentIndex = 1;
        SetTransportFlags(c.state, c.backEnd);
        mci.Clear();
        engine.calls.clear();

        SendMessageA(player.mainWindow, MM_MCINOTIFY, c.code, 1);
        std::vector<std::string> expected;
        if (c.advances)
            expected = {"close music wait",
                        "close music wait",
                        "open \"C:\\snd\\b.wav\" alias music wait",
                        "set music time format milliseconds wait",
                        "status music length wait",
                        "play music notify"};
        EXPECT_EQ(mci.Commands(), expected);
        EXPECT_TRUE(engine.calls.empty());
        EXPECT_EQ(player.playlist.size(), 2u);
    }
}

TEST_F(PlayTrackNoticeTest, SuccessfulEndOnAnEmptyListDoesNothing)
{
    player.trackOpen = 0;
    SendMessageA(player.mainWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1);
    EXPECT_TRUE(mci.calls.empty());
    EXPECT_EQ(player.trackOpen, 0);
}

} // namespace
