// Which entry PlayTrack picks, which entries it drops, and the state it
// leaves behind: flags, times, title and the real slider control.
#include "common/test_support.h"

#include "playback/play_track.h"
#include "playlist/playlist.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Open(const std::string &path) { return "open \"" + path + "\" alias music wait"; }

// Entries "C:\snd\0.wav", "C:\snd\1.wav", ...
std::vector<std::string> Entries(int count)
{
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back("C:\\snd\\" + std::to_string(i) + ".wav");
    return entries;
}

// The advancing rule, worked out from the same generator the player uses.
uint32_t ExpectedAdvance(uint32_t current, uint32_t count, bool *redrew = nullptr)
{
    if (current >= count)
        current = 0;
    uint32_t next = static_cast<uint32_t>(std::rand()) % count;
    bool again = next == current;
    if (again)
        next = static_cast<uint32_t>(std::rand()) % count;
    if (redrew)
        *redrew = again;
    return next;
}

class PlayTrackChoiceTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        StartTestPlayer(folder.path());
        mci.Clear();
    }

    // The entries that were opened, in order.
    std::vector<std::string> Opened() const
    {
        std::vector<std::string> opened;
        for (const std::string &command : mci.Commands())
            if (command.compare(0, 5, "open ") == 0)
                opened.push_back(command);
        return opened;
    }

    TempDir folder;
    MciRecorder mci;
};

TEST_F(PlayTrackChoiceTest, AdvancingFollowsTheSeededGeneratorWithOneRedraw)
{
    int redraws = 0, firstDraws = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        for (uint32_t count : {2u, 3u, 7u}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(count) + " entries");
            player.playlist = Entries(static_cast<int>(count));
            player.repeatMode = 0;
            uint32_t previous = seed % count;
            player.currentIndex = previous;

            std::srand(seed);
            bool redrew = false;
            uint32_t expected = ExpectedAdvance(previous, count, &redrew);
            (redrew ? redraws : firstDraws)++;

            std::srand(seed);
            mci.Clear();
            PlayTrack(-1);
            EXPECT_EQ(player.currentIndex, expected);
            ASSERT_EQ(Opened().size(), 1u);
            EXPECT_EQ(Opened()[0], Open(player.playlist[expected]));
        }
    }
    // Both ways through the rule were taken.
    EXPECT_GT(redraws, 0);
    EXPECT_GT(firstDraws, 0);
}

TEST_F(PlayTrackChoiceTest, OneEntryWithoutRepeatDrawsTwiceAndReplaysIt)
{
    AddEntry("C:\\snd\\only.wav");
    std::srand(77);
    std::rand();
    std::rand();
    int third = std::rand();

    std::srand(77);
    PlayTrack(-1);
    EXPECT_EQ(player.currentIndex, 0u);
    EXPECT_EQ(Opened(), std::vector<std::string>{Open("C:\\snd\\only.wav")});
    // Exactly two values were taken from the generator.
    EXPECT_EQ(std::rand(), third);

    mci.Clear();
    PlayTrack(-1);
    EXPECT_EQ(Opened(), std::vector<std::string>{Open("C:\\snd\\only.wav")});
}

struct RepeatCase {
    const char *name;
    int32_t repeatMode;
    int index;
    uint32_t currentBefore;
    uint32_t currentAfter;
};

const RepeatCase repeatCases[] = {
    {"advancing keeps the index", 1, -1, 2, 2},
    {"an index past the end restarts at 0", 1, -1, 4, 0},
    {"a far index past the end restarts at 0", 1, -1, 0xFFFFFFFFu, 0},
    {"a given index is taken", 1, 3, 1, 3},
    {"a given index is taken without repeat too", 0, 0, 2, 0},
};

TEST_F(PlayTrackChoiceTest, RepeatAndGivenIndexesTakeNothingFromTheGenerator)
{
    for (const RepeatCase &c : repeatCases) {
        SCOPED_TRACE(c.name);
        player.playlist = Entries(4);
        player.repeatMode = c.repeatMode;
        player.currentIndex = c.currentBefore;
        std::srand(5);
        int first = std::rand();
        std::srand(5);
        mci.Clear();

        PlayTrack(c.index);
        EXPECT_EQ(player.currentIndex, c.currentAfter);
        EXPECT_EQ(Opened(), std::vector<std::string>{Open(player.playlist[c.currentAfter])});
        EXPECT_EQ(std::rand(), first);
    }
}

TEST_F(PlayTrackChoiceTest, IndexPastTheEndWithoutRepeatDrawsAgainstEntryZero)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        player.playlist = Entries(3);
        player.repeatMode = 0;
        player.currentIndex = 9;
        std::srand(seed);
        uint32_t expected = ExpectedAdvance(0, 3);
        std::srand(seed);
        PlayTrack(-1);
        EXPECT_EQ(player.currentIndex, expected) << "seed " << seed;
    }
}

TEST_F(PlayTrackChoiceTest, FailureWithRepeatTriesTheEntryThatMovedUp)
{
    player.playlist = Entries(4);
    player.repeatMode = 1;
    player.currentIndex = 1;
    mci.Answer(Open("C:\\snd\\1.wav"), MCIERR_FILE_NOT_FOUND);
    mci.Answer(Open("C:\\snd\\2.wav"), MCIERR_FILE_NOT_FOUND);
    PlayTrack(-1);
    EXPECT_EQ(Opened(), (std::vector<std::string>{Open("C:\\snd\\1.wav"), Open("C:\\snd\\2.wav"),
                                                  Open("C:\\snd\\3.wav")}));
    EXPECT_EQ(player.playlist, (std::vector<std::string>{"C:\\snd\\0.wav", "C:\\snd\\3.wav"}));
    EXPECT_EQ(player.currentIndex, 1u);
    EXPECT_EQ(player.title, "3.wav");
}

TEST_F(PlayTrackChoiceTest, FailureAtTheLastIndexWithRepeatWrapsToZero)
{
    player.playlist = Entries(3);
    player.repeatMode = 1;
    mci.Answer(Open("C:\\snd\\2.wav"), MCIERR_FILE_NOT_FOUND);
    PlayTrack(2);
    EXPECT_EQ(Opened(), (std::vector<std::string>{Open("C:\\snd\\2.wav"), Open("C:\\snd\\0.wav")}));
    EXPECT_EQ(player.currentIndex, 0u);
}

TEST_F(PlayTrackChoiceTest, FailuresWithoutRepeatDrawAgainAmongTheRest)
{
    // Odd entries cannot be opened; every run ends on an even one.
    for (unsigned seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::vector<std::string> entries = Entries(6);
        player.playlist = entries;
        player.repeatMode = 0;
        player.currentIndex = 0;
        mci.Clear();
        mci.answers.clear();
        for (int i = 1; i < 6; i += 2)
            mci.Answer(Open(entries[i]), MCIERR_FILE_NOT_FOUND);

        std::srand(seed);
        std::vector<std::string> expectedOpens;
        std::vector<std::string> left = entries;
        uint32_t current = 0;
        for (;;) {
            current = ExpectedAdvance(current, static_cast<uint32_t>(left.size()));
            expectedOpens.push_back(Open(left[current]));
            if ((left[current][7] - '0') % 2 == 0)
                break;
            left.erase(left.begin() + current);
        }

        std::srand(seed);
        PlayTrack(-1);
        EXPECT_EQ(Opened(), expectedOpens);
        EXPECT_EQ(player.playlist, left);
        EXPECT_EQ(player.currentIndex, current);
        EXPECT_EQ(player.trackOpen, 1);
    }
}

struct LengthCase {
    size_t length;
    bool tried;
};

TEST_F(PlayTrackChoiceTest, EntriesOfFourTo260BytesAreTried)
{
    const LengthCase cases[] = {{0, false}, {3, false}, {4, true}, {5, true}, {259, true},
                                {260, true}, {261, false}, {300, false}};
    for (const LengthCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " bytes");
        // "C:\xxx...x.wav" of the length, or plain letters when too short.
        std::string path =
            c.length >= 7 ? "C:\\" + std::string(c.length - 7, 'x') + ".wav" : std::string(c.length, 'w');
        ASSERT_EQ(path.size(), c.length);
        player.playlist = {path};
        player.trackOpen = 0;
        mci.Clear();

        PlayTrack(0);
        if (c.tried) {
            EXPECT_EQ(mci.Commands().front(), Open(path));
            EXPECT_EQ(player.playlist.size(), 1u);
            EXPECT_EQ(player.trackOpen, 1);
        } else {
            EXPECT_TRUE(mci.calls.empty());
            EXPECT_TRUE(player.playlist.empty());
            EXPECT_EQ(player.trackOpen, 0);
        }
    }
}

TEST_F(PlayTrackChoiceTest, AFourByteMp3NameGoesToTheEngine)
{
    FakeEngine engine;
    AddEntry(".mp3");
    PlayTrack(0);
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"open .mp3", "play"}));
    EXPECT_TRUE(mci.calls.empty());
    // The engine track must be closed on the engine before it goes away.
    StopTestPlayer();
}

TEST_F(PlayTrackChoiceTest, AHundredUnplayableEntriesEndIdle)
{
    player.playlist = Entries(100);
    player.trackOpen = 1;
    player.playing = 1;
    mci.AnswerPrefix("open ", MCIERR_FILE_NOT_FOUND);
    PlayTrack(-1);
    EXPECT_TRUE(player.playlist.empty());
    EXPECT_EQ(Opened().size(), 100u);
    EXPECT_EQ(player.trackOpen, 0);
    EXPECT_EQ(player.playing, 0);
}

TEST_F(PlayTrackChoiceTest, ThirtyThousandUnusableEntriesDoNotExhaustTheStack)
{
    // More than drops with Ctrl held could ever pile up, and far more than
    // one stack frame per entry would survive.
    player.playlist.assign(30000, "x");
    player.playlist.push_back("\"q\".wav");
    PlayTrack(-1);
    EXPECT_TRUE(player.playlist.empty());
    EXPECT_TRUE(mci.calls.empty());
    EXPECT_EQ(player.trackOpen, 0);
}

struct TitleCase {
    const char *path;
    const char *title;
};

TEST_F(PlayTrackChoiceTest, TitleIsTheTextAfterTheLastBackslash)
{
    const TitleCase cases[] = {
        {"C:\\snd\\a.mid", "a.mid"},
        {"a.mid", "a.mid"},
        {"\\a.mid", "\\a.mid"},
        {"\\\\srv\\a.mid", "a.mid"},
        {"C:\\snd\\", ""},
    };
    for (const TitleCase &c : cases) {
        SCOPED_TRACE(c.path);
        player.playlist = {c.path};
        player.title = "old";
        PlayTrack(0);
        EXPECT_EQ(player.title, c.title);
    }
}

struct LengthReplyCase {
    const char *name;
    MCIERROR result;
    const char *reply;
    uint32_t seconds;
};

TEST_F(PlayTrackChoiceTest, LengthReplyIsCutToWholeSeconds)
{
    const LengthReplyCase cases[] = {
        {"999 ms", 0, "999", 0},
        {"one ms short of three minutes", 0, "179999", 179},
        {"exactly one second", 0, "1000", 1},
        {"two hours", 0, "7200000", 7200},
        {"an empty answer", 0, "", 0},
        {"an unanswered query", MCIERR_UNSUPPORTED_FUNCTION, "", 0},
        {"a failed query with text in the buffer", MCIERR_UNSUPPORTED_FUNCTION, "5000", 0},
    };
    for (const LengthReplyCase &c : cases) {
        SCOPED_TRACE(c.name);
        player.playlist = {"C:\\snd\\a.wav"};
        player.totalSeconds = 55;
        mci.Answer("status music length wait", c.result, c.reply);
        PlayTrack(0);
        EXPECT_EQ(player.totalSeconds, c.seconds);
        EXPECT_EQ(SendMessageA(player.trackBar, TBM_GETRANGEMAX, 0, 0), static_cast<LRESULT>(c.seconds));
    }
}

// The outcome table, read back from the real slider control.
class PlayTrackOutcomeTest : public PlayTrackChoiceTest {
  protected:
    // A playing track with the slider moved along.
    void SetUpPlayingTrack()
    {
        player.trackOpen = 1;
        player.playing = 0;
        player.paused = 1;
        player.stopped = 0;
        player.backEnd = Mci;
        player.totalSeconds = 100;
        player.elapsedSeconds = 42;
        player.title = "old.wav";
        SendMessageA(player.trackBar, TBM_SETRANGEMAX, TRUE, 100);
        SendMessageA(player.trackBar, TBM_SETPOS, TRUE, 42);
        EnableWindow(player.trackBar, TRUE);
    }
    LRESULT SliderMax() { return SendMessageA(player.trackBar, TBM_GETRANGEMAX, 0, 0); }
    LRESULT SliderPos() { return SendMessageA(player.trackBar, TBM_GETPOS, 0, 0); }
};

TEST_F(PlayTrackOutcomeTest, EmptyPlaylistChangesNothing)
{
    SetUpPlayingTrack();
    std::srand(9);
    int first = std::rand();
    std::srand(9);
    PlayTrack(-1);
    EXPECT_TRUE(mci.calls.empty());
    EXPECT_EQ(player.trackOpen, 1);
    EXPECT_EQ(player.playing, 0);
    EXPECT_EQ(player.paused, 1);
    EXPECT_EQ(player.stopped, 0);
    EXPECT_EQ(player.totalSeconds, 100u);
    EXPECT_EQ(player.elapsedSeconds, 42u);
    EXPECT_EQ(player.title, "old.wav");
    EXPECT_EQ(SliderMax(), 100);
    EXPECT_EQ(SliderPos(), 42);
    EXPECT_TRUE(IsWindowEnabled(player.trackBar));
    EXPECT_EQ(std::rand(), first);
}

TEST_F(PlayTrackOutcomeTest, StartedTrackSetsFlagsTimesTitleAndSlider)
{
    SetUpPlayingTrack();
    EnableWindow(player.trackBar, FALSE);
    AddEntry("C:\\snd\\new.wav");
    mci.Answer("status music length wait", 0, "179999");
    PlayTrack(0);
    EXPECT_EQ(player.trackOpen, 1);
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(player.paused, 0);
    EXPECT_EQ(player.stopped, 0);
    EXPECT_EQ(player.backEnd, Mci);
    EXPECT_EQ(player.totalSeconds, 179u);
    EXPECT_EQ(player.elapsedSeconds, 0u);
    EXPECT_EQ(player.title, "new.wav");
    EXPECT_EQ(SliderMax(), 179);
    EXPECT_EQ(SliderPos(), 0);
    EXPECT_TRUE(IsWindowEnabled(player.trackBar));
}

struct FailureOutcomeCase {
    const char *name;
    const char *entry;
    BackEnd backEndAfter;
    uint32_t totalAfter;
};

TEST_F(PlayTrackOutcomeTest, LastFailureLeavesIdleWithLengthAndBackEndOfTheLastTry)
{
    FakeEngine engine;
    engine.openSeconds = 31;
    const FailureOutcomeCase cases[] = {
        {"too short: nothing tried", "a.b", Mci, 100},
        {"MCI open fails", "C:\\snd\\bad.wav", Mci, 100},
        {"engine fails twice: its length stays", "C:\\snd\\bad.mp3", Mp3Engine, 31},
    };
    for (const FailureOutcomeCase &c : cases) {
        SCOPED_TRACE(c.name);
        SetUpPlayingTrack();
        player.playlist = {c.entry};
        mci.Answer(Open("C:\\snd\\bad.wav"), MCIERR_FILE_NOT_FOUND);
        engine.playResults = {0, 0};
        PlayTrack(-1);
        EXPECT_TRUE(player.playlist.empty());
        EXPECT_EQ(player.trackOpen, 0);
        EXPECT_EQ(player.playing, 0);
        EXPECT_EQ(player.paused, 0);
        EXPECT_EQ(player.stopped, 0);
        EXPECT_EQ(player.backEnd, c.backEndAfter);
        EXPECT_EQ(player.totalSeconds, c.totalAfter);
        EXPECT_EQ(player.elapsedSeconds, 0u);
        EXPECT_EQ(player.title, "");
        EXPECT_EQ(SliderPos(), 0);
        EXPECT_FALSE(IsWindowEnabled(player.trackBar));
    }
    player.trackOpen = 0;
}

} // namespace
