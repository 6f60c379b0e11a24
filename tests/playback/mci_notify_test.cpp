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
    bool advances;
};

TEST_F(PlayTrackNoticeTest, OnlyASuccessfulEndAdvances)
{
    const NoticeCase cases[] = {
        {"successful", MCI_NOTIFY_SUCCESSFUL, true},
        {"superseded", MCI_NOTIFY_SUPERSEDED, false},
        {"aborted", MCI_NOTIFY_ABORTED, false},
        {"failure", MCI_NOTIFY_FAILURE, false},
        {"no code", 0, false},
    };
    for (const NoticeCase &c : cases) {
        SCOPED_TRACE(c.name);
        player.playlist = {"C:\\snd\\a.wav", "C:\\snd\\b.wav"};
        player.repeatMode = 1;
        player.currentIndex = 1;
        player.trackOpen = 1;
        player.backEnd = Mci;
        mci.Clear();

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
