// Which entry PlayTrack picks, which entries it drops, and the state it
// leaves behind: flags, times, title and the real slider control.
#include "common/test_support.h"

#include "playback/play_track.h"
#include "playlist/store.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Entries "C:\snd\0.wav", "C:\snd\1.wav", ...
std::vector<std::string> Entries(int count)
{
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back("C:\\snd\\" + std::to_string(i) + ".wav");
    return entries;
}

// The value the platform's generator gives after `draws` draws from `seed`.
int DrawAfter(unsigned seed, int draws)
{
    std::srand(seed);
    for (int i = 0; i < draws; ++i)
        std::rand();
    return std::rand();
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

// Advancing draws rand() modulo the count, and draws once more when that is
// the current entry. Each row: the seed of the platform's generator, the
// count, the current entry, the entry it must lead to, and whether the
// first draw hit the current entry (two draws taken instead of one).
struct AdvanceCase {
    unsigned seed;
    uint32_t count;
    uint32_t current;
    uint32_t expected;
    bool redraw;
};
const AdvanceCase AdvanceCases[] = {
    {1, 2, 1, 1, true}, {1, 3, 1, 2, false}, {1, 7, 1, 6, false},
    {2, 2, 0, 1, false}, {2, 3, 2, 0, false}, {2, 7, 2, 3, false},
    {3, 2, 1, 0, false}, {3, 3, 0, 2, true}, {3, 7, 3, 6, false},
    {4, 2, 0, 1, false}, {4, 3, 1, 0, false}, {4, 7, 4, 2, false},
    {5, 2, 1, 0, false}, {5, 3, 2, 0, false}, {5, 7, 5, 0, true},
    {6, 2, 0, 1, true}, {6, 3, 0, 1, false}, {6, 7, 6, 2, false},
    {7, 2, 1, 0, true}, {7, 3, 1, 1, true}, {7, 7, 0, 5, false},
    {8, 2, 0, 0, true}, {8, 3, 2, 1, false}, {8, 7, 1, 2, true},
    {9, 2, 1, 0, false}, {9, 3, 0, 2, false}, {9, 7, 2, 5, false},
    {10, 2, 0, 1, false}, {10, 3, 1, 2, false}, {10, 7, 3, 1, false},
    {11, 2, 1, 0, false}, {11, 3, 2, 0, true}, {11, 7, 4, 5, true},
    {12, 2, 0, 1, false}, {12, 3, 0, 2, false}, {12, 7, 5, 0, false},
    {13, 2, 1, 0, true}, {13, 3, 1, 0, false}, {13, 7, 6, 4, false},
    {14, 2, 0, 1, true}, {14, 3, 2, 0, false}, {14, 7, 0, 0, true},
    {15, 2, 1, 1, true}, {15, 3, 0, 2, true}, {15, 7, 1, 3, false},
    {16, 2, 0, 0, true}, {16, 3, 1, 0, false}, {16, 7, 2, 6, false},
    {17, 2, 1, 0, false}, {17, 3, 2, 1, false}, {17, 7, 3, 2, true},
    {18, 2, 0, 1, false}, {18, 3, 0, 1, false}, {18, 7, 4, 6, false},
    {19, 2, 1, 0, false}, {19, 3, 1, 1, true}, {19, 7, 5, 2, false},
    {20, 2, 0, 1, false}, {20, 3, 2, 1, false}, {20, 7, 6, 5, false},
    {21, 2, 1, 0, true}, {21, 3, 0, 2, false}, {21, 7, 0, 2, false},
    {22, 2, 0, 0, true}, {22, 3, 1, 2, false}, {22, 7, 1, 5, false},
    {23, 2, 1, 0, true}, {23, 3, 2, 2, true}, {23, 7, 2, 1, false},
    {24, 2, 0, 1, true}, {24, 3, 0, 2, false}, {24, 7, 3, 4, false},
    {25, 2, 1, 0, false}, {25, 3, 1, 0, false}, {25, 7, 4, 1, false},
    {26, 2, 0, 1, false}, {26, 3, 2, 0, false}, {26, 7, 5, 4, false},
    {27, 2, 1, 0, false}, {27, 3, 0, 2, true}, {27, 7, 6, 0, false},
    {28, 2, 0, 0, true}, {28, 3, 1, 1, true}, {28, 7, 0, 4, false},
    {29, 2, 1, 1, true}, {29, 3, 2, 1, false}, {29, 7, 1, 0, false},
    {30, 2, 0, 1, true}, {30, 3, 0, 1, false}, {30, 7, 2, 3, false},
    {31, 2, 1, 0, true}, {31, 3, 1, 1, true}, {31, 7, 3, 6, false},
    {32, 2, 0, 1, false}, {32, 3, 2, 0, true}, {32, 7, 4, 3, false},
    {33, 2, 1, 0, false}, {33, 3, 0, 2, false}, {33, 7, 5, 6, false},
    {34, 2, 0, 1, false}, {34, 3, 1, 2, false}, {34, 7, 6, 2, false},
    {35, 2, 1, 0, false}, {35, 3, 2, 2, true}, {35, 7, 0, 5, false},
    {36, 2, 0, 0, true}, {36, 3, 0, 0, true}, {36, 7, 1, 2, false},
    {37, 2, 1, 0, true}, {37, 3, 1, 0, false}, {37, 7, 2, 5, false},
    {38, 2, 0, 0, true}, {38, 3, 2, 0, false}, {38, 7, 3, 1, false},
    {39, 2, 1, 1, true}, {39, 3, 0, 2, true}, {39, 7, 4, 6, true},
    {40, 2, 0, 1, false}, {40, 3, 1, 1, true}, {40, 7, 5, 1, false},
};

TEST_F(PlayTrackChoiceTest, AdvancingFollowsTheSeededGeneratorWithOneRedraw)
{
    int redraws = 0, firstDraws = 0;
    for (const AdvanceCase &c : AdvanceCases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed) + ", " + std::to_string(c.count) + " entries");
        player.playlist = Entries(static_cast<int>(c.count));
        player.repeatMode = 0;
        player.currentIndex = c.current;
        (c.redraw ? redraws : firstDraws)++;
        const int next = DrawAfter(c.seed, c.redraw ? 2 : 1);

        std::srand(c.seed);
        mci.Clear();
        PlayTrack(-1);
        EXPECT_EQ(player.currentIndex, c.expected);
        ASSERT_EQ(Opened().size(), 1u);
        EXPECT_EQ(Opened()[0], MciOpenCommand(player.playlist[c.expected]));
        EXPECT_EQ(std::rand(), next) << "draws taken";
    }
    // The rows take both ways through the rule.
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
    EXPECT_EQ(Opened(), std::vector<std::string>{MciOpenCommand("C:\\snd\\only.wav")});
    // Exactly two values were taken from the generator.
    EXPECT_EQ(std::rand(), third);

    mci.Clear();
    PlayTrack(-1);
    EXPECT_EQ(Opened(), std::vector<std::string>{MciOpenCommand("C:\\snd\\only.wav")});
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
        EXPECT_EQ(Opened(), std::vector<std::string>{MciOpenCommand(player.playlist[c.currentAfter])});
        EXPECT_EQ(std::rand(), first);
    }
}

TEST_F(PlayTrackChoiceTest, IndexPastTheEndWithoutRepeatDrawsAgainstEntryZero)
{
    // Seed and the entry of three it leads to from entry 0.
    const struct {
        unsigned seed;
        uint32_t expected;
    } cases[] = {
        {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 1},
        {6, 1}, {7, 1}, {8, 1}, {9, 2}, {10, 2}, {11, 2}, {12, 2}, {13, 2}, {14, 2}, {15, 2}, {16, 2}, {17, 1}, {18, 1}, {19, 1}, {20, 1},
    };
    for (const auto &c : cases) {
        player.playlist = Entries(3);
        player.repeatMode = 0;
        player.currentIndex = 9;
        std::srand(c.seed);
        PlayTrack(-1);
        EXPECT_EQ(player.currentIndex, c.expected) << "seed " << c.seed;
    }
}

TEST_F(PlayTrackChoiceTest, FailureWithRepeatTriesTheEntryThatMovedUp)
{
    player.playlist = Entries(4);
    player.repeatMode = 1;
    player.currentIndex = 1;
    mci.Answer(MciOpenCommand("C:\\snd\\1.wav"), MCIERR_FILE_NOT_FOUND);
    mci.Answer(MciOpenCommand("C:\\snd\\2.wav"), MCIERR_FILE_NOT_FOUND);
    PlayTrack(-1);
    EXPECT_EQ(Opened(), (std::vector<std::string>{MciOpenCommand("C:\\snd\\1.wav"), MciOpenCommand("C:\\snd\\2.wav"),
                                                  MciOpenCommand("C:\\snd\\3.wav")}));
    EXPECT_EQ(player.playlist, (std::vector<std::string>{"C:\\snd\\0.wav", "C:\\snd\\3.wav"}));
    EXPECT_EQ(player.currentIndex, 1u);
    EXPECT_EQ(player.title, "3.wav");
}

TEST_F(PlayTrackChoiceTest, FailureAtTheLastIndexWithRepeatWrapsToZero)
{
    player.playlist = Entries(3);
    player.repeatMode = 1;
    mci.Answer(MciOpenCommand("C:\\snd\\2.wav"), MCIERR_FILE_NOT_FOUND);
    PlayTrack(2);
    EXPECT_EQ(Opened(), (std::vector<std::string>{MciOpenCommand("C:\\snd\\2.wav"), MciOpenCommand("C:\\snd\\0.wav")}));
    EXPECT_EQ(player.currentIndex, 0u);
}

TEST_F(PlayTrackChoiceTest, FailuresWithoutRepeatDrawAgainAmongTheRest)
{
    // Odd entries cannot be opened; every run ends on an even one. Each row:
    // the seed, the entries opened in turn, the entries left, and the index
    // the run ends on.
    struct Case {
        unsigned seed;
        std::vector<int> opened;
        std::vector<int> left;
        uint32_t current;
    };
    const Case cases[] = {
        {1, {5, 2}, {0, 1, 2, 3, 4}, 2},
        {2, {3, 1, 4}, {0, 2, 4, 5}, 2},
        {3, {2}, {0, 1, 2, 3, 4, 5}, 2},
        {4, {3, 0}, {0, 1, 2, 4, 5}, 0},
        {5, {1, 0}, {0, 2, 3, 4, 5}, 0},
        {6, {4}, {0, 1, 2, 3, 4, 5}, 4},
        {7, {1, 3, 5, 4}, {0, 2, 4}, 2},
        {8, {4}, {0, 1, 2, 3, 4, 5}, 4},
        {9, {2}, {0, 1, 2, 3, 4, 5}, 2},
        {10, {5, 4}, {0, 1, 2, 3, 4}, 4},
        {11, {2}, {0, 1, 2, 3, 4, 5}, 2},
        {12, {5, 3, 0}, {0, 1, 2, 4}, 0},
        {13, {3, 1, 0}, {0, 2, 4, 5}, 0},
        {14, {5, 2}, {0, 1, 2, 3, 4}, 2},
        {15, {3, 0}, {0, 1, 2, 4, 5}, 0},
        {16, {2}, {0, 1, 2, 3, 4, 5}, 2},
        {17, {4}, {0, 1, 2, 3, 4, 5}, 4},
        {18, {1, 3, 2}, {0, 2, 4, 5}, 1},
        {19, {4}, {0, 1, 2, 3, 4, 5}, 4},
        {20, {1, 5, 2}, {0, 2, 3, 4}, 1},
        {21, {5, 4}, {0, 1, 2, 3, 4}, 4},
        {22, {2}, {0, 1, 2, 3, 4, 5}, 2},
        {23, {5, 1, 3, 0}, {0, 2, 4}, 0},
        {24, {2}, {0, 1, 2, 3, 4, 5}, 2},
        {25, {5, 0}, {0, 1, 2, 3, 4}, 0},
    };
    const std::vector<std::string> entries = Entries(6);
    for (const Case &c : cases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed));
        player.playlist = entries;
        player.repeatMode = 0;
        player.currentIndex = 0;
        mci.Clear();
        mci.answers.clear();
        for (int i = 1; i < 6; i += 2)
            mci.Answer(MciOpenCommand(entries[i]), MCIERR_FILE_NOT_FOUND);
        std::vector<std::string> expectedOpens, left;
        for (int i : c.opened)
            expectedOpens.push_back(MciOpenCommand(entries[i]));
        for (int i : c.left)
            left.push_back(entries[i]);

        std::srand(c.seed);
        PlayTrack(-1);
        EXPECT_EQ(Opened(), expectedOpens);
        EXPECT_EQ(player.playlist, left);
        EXPECT_EQ(player.currentIndex, c.current);
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
            EXPECT_EQ(mci.Commands().front(), MciOpenCommand(path));
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

// The names themselves follow the one rule (tests/playlist/display_name_test):
// here, that a start shows the entry's title, an empty one and an own
// title too, in place of the old one.
TEST_F(PlayTrackChoiceTest, TitleIsTheEntrysTitle)
{
    struct Case {
        const char *path;
        const char *ownTitle;
        const char *title;
    };
    const Case cases[] = {
        {"\\\\srv\\a.mid", "", "a.mid"},
        {"C:\\snd\\", "", ""},
        {"C:\\snd\\CAF_~XBP.WAV", "Caf?.wav", "Caf?.wav"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        ClearPlaylist();
        AddEntry(c.path, c.ownTitle);
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
    // The four transport flags, value for value.
    void ExpectFlags(int32_t trackOpen, int32_t playing, int32_t paused, int32_t stopped)
    {
        EXPECT_EQ(player.trackOpen, trackOpen);
        EXPECT_EQ(player.playing, playing);
        EXPECT_EQ(player.paused, paused);
        EXPECT_EQ(player.stopped, stopped);
    }
    LRESULT SliderMax() { return SendMessageA(player.trackBar, TBM_GETRANGEMAX, 0, 0); }
    LRESULT SliderPos() { return SendMessageA(player.trackBar, TBM_GETPOS, 0, 0); }
    // The flags, the times, the title and the slider after a start.
    struct Outcome {
        int32_t trackOpen, playing, paused, stopped;
        uint32_t totalSeconds, elapsedSeconds;
        const char *title;
        LRESULT sliderMax, sliderPos;
        bool sliderEnabled;
    };
    void ExpectOutcome(const Outcome &o)
    {
        ExpectFlags(o.trackOpen, o.playing, o.paused, o.stopped);
        EXPECT_EQ(player.totalSeconds, o.totalSeconds);
        EXPECT_EQ(player.elapsedSeconds, o.elapsedSeconds);
        EXPECT_EQ(player.title, o.title);
        EXPECT_EQ(SliderMax(), o.sliderMax);
        EXPECT_EQ(SliderPos(), o.sliderPos);
        EXPECT_EQ(IsWindowEnabled(player.trackBar) != FALSE, o.sliderEnabled);
    }
};

TEST_F(PlayTrackOutcomeTest, EmptyPlaylistChangesNothing)
{
    SetUpPlayingTrack();
    std::srand(9);
    int first = std::rand();
    std::srand(9);
    PlayTrack(-1);
    EXPECT_TRUE(mci.calls.empty());
    // Just as SetUpPlayingTrack left it.
    ExpectOutcome({1, 0, 1, 0, 100, 42, "old.wav", 100, 42, true});
    EXPECT_EQ(std::rand(), first);
}

TEST_F(PlayTrackOutcomeTest, StartedTrackSetsFlagsTimesTitleAndSlider)
{
    SetUpPlayingTrack();
    EnableWindow(player.trackBar, FALSE);
    AddEntry("C:\\snd\\new.wav");
    mci.Answer("status music length wait", 0, "179999");
    PlayTrack(0);
    EXPECT_EQ(player.backEnd, Mci);
    ExpectOutcome({1, 1, 0, 0, 179, 0, "new.wav", 179, 0, true});
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
        {"the engine and MCI both fail: the engine's length stays", "C:\\snd\\bad.mp3", Mci, 31},
    };
    for (const FailureOutcomeCase &c : cases) {
        SCOPED_TRACE(c.name);
        SetUpPlayingTrack();
        player.playlist = {c.entry};
        mci.Answer(MciOpenCommand("C:\\snd\\bad.wav"), MCIERR_FILE_NOT_FOUND);
        mci.Answer(MciOpenCommand("C:\\snd\\bad.mp3"), MCIERR_FILE_NOT_FOUND);
        engine.playResults = {0, 0};
        PlayTrack(-1);
        EXPECT_TRUE(player.playlist.empty());
        ExpectFlags(0, 0, 0, 0);
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
