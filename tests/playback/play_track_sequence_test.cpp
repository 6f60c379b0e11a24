// What PlayTrack says to the two back-ends, command by command: the MCI
// strings as the recorder saw them and the engine calls as the fake engine
// saw them, for starts, failures, retries and the choice of back-end.
#include "common/test_support.h"

#include "playback/play_track.h"
#include "playlist/store.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Lines;

// The three commands that follow a successful MCI open.
Lines Started() { return {"set music time format milliseconds wait", "status music length wait", "play music notify"}; }

Lines Join(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class PlayTrackSequenceTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        StartTestPlayer(folder.path());
        mci.Clear();
        engine.calls.clear();
    }

    TempDir folder;
    MciRecorder mci;
    FakeEngine engine;
};

struct SequenceCase {
    const char *name;
    // Before
    int32_t trackOpen;
    BackEnd backEnd;
    int32_t engineAvailable;
    Lines playlist;
    Lines failingOpens;     // MCI opens answered with an error
    std::vector<int> plays; // vbmp3_play results, in order
    // After PlayTrack(0), with repeat mode on so that a failure retries
    // the entry that moved up into its place.
    Lines mciCommands;
    Lines engineCalls;
    Lines playlistAfter;
    int32_t startedAfter;
    BackEnd backEndAfter;
};

const char A[] = "C:\\snd\\a.wav";
const char B[] = "C:\\snd\\b.wav";
const char M[] = "C:\\snd\\m.mp3";
const char N[] = "C:\\snd\\n.mp3";

const SequenceCase sequenceCases[] = {
    {"MCI start, nothing open", 0, Mci, 1, {A}, {}, {},
     Join({{MciOpenCommand(A)}, Started()}), {}, {A}, 1, Mci},
    {"MCI start after an MCI track: closed twice", 1, Mci, 1, {A}, {}, {},
     Join({{"close music wait", "close music wait", MciOpenCommand(A)}, Started()}), {}, {A}, 1, Mci},
    {"MCI start after an engine track", 1, Mp3Engine, 1, {A}, {}, {},
     Join({{"close music wait", MciOpenCommand(A)}, Started()}), {"close"}, {A}, 1, Mci},
    {"engine start, nothing open", 0, Mci, 1, {M}, {}, {},
     {}, {"open " + std::string(M), "play"}, {M}, 1, Mp3Engine},
    {"engine start after an MCI track", 1, Mci, 1, {M}, {}, {},
     {"close music wait"}, {"open " + std::string(M), "play"}, {M}, 1, Mp3Engine},
    {"engine start after an engine track", 1, Mp3Engine, 1, {M}, {}, {},
     {}, {"close", "open " + std::string(M), "play"}, {M}, 1, Mp3Engine},
    {"engine retry: open, play, close, open, play", 0, Mci, 1, {M}, {}, {0, 1},
     {}, {"open " + std::string(M), "play", "close", "open " + std::string(M), "play"}, {M}, 1, Mp3Engine},
    {"MCI failure: close without wait, removal, next try", 0, Mci, 1, {A, B}, {MciOpenCommand(A)}, {},
     Join({{MciOpenCommand(A), "close music", MciOpenCommand(B)}, Started()}), {}, {B}, 1, Mci},
    {"MCI failure with a track open: the flag still asks for closes", 1, Mci, 1, {A, B}, {MciOpenCommand(A)}, {},
     Join({{"close music wait", "close music wait", MciOpenCommand(A), "close music", "close music wait",
            "close music wait", MciOpenCommand(B)},
           Started()}),
     {}, {B}, 1, Mci},
    {"MP3 the engine fails twice plays through MCI", 0, Mci, 1, {M, A}, {}, {0, 0},
     Join({{MciOpenCommand(M)}, Started()}),
     {"open " + std::string(M), "play", "close", "open " + std::string(M), "play", "close"}, {M, A}, 1, Mci},
    {"MP3 that neither the engine nor MCI plays is removed", 0, Mci, 1, {M, A}, {MciOpenCommand(M)}, {0, 0},
     Join({{MciOpenCommand(M), "close music", MciOpenCommand(A)}, Started()}),
     {"open " + std::string(M), "play", "close", "open " + std::string(M), "play", "close"}, {A}, 1, Mci},
    {"MP3 that nothing plays, a second MP3 then plays on the engine", 0, Mci, 1, {M, N}, {MciOpenCommand(M)},
     {0, 0, 1}, {MciOpenCommand(M), "close music"},
     {"open " + std::string(M), "play", "close", "open " + std::string(M), "play", "close",
      "open " + std::string(N), "play"},
     {N}, 1, Mp3Engine},
    {"the last entry fails through MCI", 0, Mci, 1, {A}, {MciOpenCommand(A)}, {},
     {MciOpenCommand(A), "close music"}, {}, {}, 0, Mci},
    {"the last entry fails on the engine and through MCI", 0, Mci, 1, {M}, {MciOpenCommand(M)}, {0, 0},
     {MciOpenCommand(M), "close music"},
     {"open " + std::string(M), "play", "close", "open " + std::string(M), "play", "close"}, {}, 0, Mci},
    {".MP3 with the engine", 0, Mci, 1, {"C:\\snd\\LOUD.MP3"}, {}, {},
     {}, {"open C:\\snd\\LOUD.MP3", "play"}, {"C:\\snd\\LOUD.MP3"}, 1, Mp3Engine},
    {".MP3 without the engine", 0, Mci, 0, {"C:\\snd\\LOUD.MP3"}, {}, {},
     Join({{MciOpenCommand("C:\\snd\\LOUD.MP3")}, Started()}), {}, {"C:\\snd\\LOUD.MP3"}, 1, Mci},
    {".mp3 without the engine", 0, Mci, 0, {M}, {}, {},
     Join({{MciOpenCommand(M)}, Started()}), {}, {M}, 1, Mci},
    {".mp3x goes through MCI", 0, Mci, 1, {"C:\\snd\\a.mp3x"}, {}, {},
     Join({{MciOpenCommand("C:\\snd\\a.mp3x")}, Started()}), {}, {"C:\\snd\\a.mp3x"}, 1, Mci},
    {".wma goes through MCI", 0, Mci, 1, {"C:\\snd\\a.wma"}, {}, {},
     Join({{MciOpenCommand("C:\\snd\\a.wma")}, Started()}), {}, {"C:\\snd\\a.wma"}, 1, Mci},
    {"mp3 in the middle of the name goes through MCI", 0, Mci, 1, {"C:\\snd\\a.mp3.wav"}, {}, {},
     Join({{MciOpenCommand("C:\\snd\\a.mp3.wav")}, Started()}), {}, {"C:\\snd\\a.mp3.wav"}, 1, Mci},
    {"an entry with a double quote is dropped unsent", 0, Mci, 1, {"C:\\snd\\a\" b.wav", B}, {}, {},
     Join({{MciOpenCommand(B)}, Started()}), {}, {B}, 1, Mci},
    {"a quoted MP3 name is dropped unsent as well", 0, Mci, 1, {"C:\\snd\\\"m\".mp3"}, {}, {},
     {}, {}, {}, 0, Mci},
    {"a quote that would smuggle in command words", 0, Mci, 1,
     {"C:\\a.wav\" alias other wait type waveaudio \"x.wav"}, {}, {}, {}, {}, {}, 0, Mci},
};

TEST_F(PlayTrackSequenceTest, SendsTheRecordedCommands)
{
    for (const SequenceCase &c : sequenceCases) {
        SCOPED_TRACE(c.name);
        player.playlist = c.playlist;
        player.currentIndex = 0;
        player.repeatMode = 1;
        player.trackOpen = c.trackOpen;
        player.playing = c.trackOpen;
        player.paused = player.stopped = 0;
        player.backEnd = c.backEnd;
        player.mp3EngineAvailable = c.engineAvailable;
        mci.Clear();
        mci.answers.clear();
        for (const std::string &open : c.failingOpens)
            mci.Answer(open, MCIERR_FILE_NOT_FOUND);
        engine.calls.clear();
        engine.playResults = c.plays;

        PlayTrack(0);

        EXPECT_EQ(mci.Commands(), c.mciCommands);
        EXPECT_EQ(engine.calls, c.engineCalls);
        EXPECT_EQ(player.playlist, c.playlistAfter);
        EXPECT_EQ(player.trackOpen, c.startedAfter);
        EXPECT_EQ(player.playing, c.startedAfter);
        EXPECT_EQ(player.backEnd, c.backEndAfter);
    }
}

TEST_F(PlayTrackSequenceTest, QueriesTheLengthIntoSixteenCharactersAndNotifiesTheMainWindow)
{
    AddEntry(A);
    PlayTrack(0);
    ASSERT_EQ(mci.calls.size(), 4u);
    for (const MciCall &call : mci.calls) {
        SCOPED_TRACE(call.command);
        UINT replyLength = call.command == "status music length wait" ? 16 : 0;
        HWND callback = call.command == "play music notify" ? player.mainWindow : nullptr;
        EXPECT_EQ(call.replyLength, replyLength);
        EXPECT_EQ(call.callback, callback);
    }
    EXPECT_NE(player.mainWindow, nullptr);
}

TEST_F(PlayTrackSequenceTest, FailedCloseAndRetryCommandsCarryNoReplyOrCallback)
{
    player.playlist = {A, B};
    player.repeatMode = 1;
    player.trackOpen = 1;
    mci.Answer(MciOpenCommand(A), MCIERR_FILE_NOT_FOUND);
    PlayTrack(0);
    for (const MciCall &call : mci.calls) {
        if (call.command.compare(0, 5, "close") != 0 && call.command.compare(0, 4, "open") != 0)
            continue;
        SCOPED_TRACE(call.command);
        EXPECT_EQ(call.replyLength, 0u);
        EXPECT_EQ(call.callback, nullptr);
    }
}

TEST_F(PlayTrackSequenceTest, EngineLengthComesFromTheInformationRecord)
{
    engine.openSeconds = 245;
    AddEntry(M);
    PlayTrack(0);
    EXPECT_EQ(player.totalSeconds, 245u);
    EXPECT_EQ(player.mp3Info.totalSeconds, 245);
    EXPECT_EQ(SendMessageA(player.trackBar, TBM_GETRANGEMAX, 0, 0), 245);
    EXPECT_TRUE(mci.calls.empty());
}

TEST_F(PlayTrackSequenceTest, EmptyPlaylistSendsNothing)
{
    player.trackOpen = 1;
    player.backEnd = Mci;
    PlayTrack(-1);
    PlayTrack(0);
    EXPECT_TRUE(mci.calls.empty());
    player.backEnd = Mp3Engine;
    PlayTrack(-1);
    EXPECT_TRUE(engine.calls.empty());
}

} // namespace
