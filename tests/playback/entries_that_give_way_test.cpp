// Entries that cannot be heard give way to the rest of the list: names of
// devices and things that are not files are never handed to a back-end, a
// MIDI file is refused where there is no MIDI output, and a MIDI track that
// never moves is ended. Relative entries open from the folder the player
// started in, whatever folder is current.
#include "common/test_support.h"

#include "playback/play_track.h"
#include "playlist/store.h"
#include "ui/main_window.h"

#include <mmsystem.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Opens(const MciRecorder &mci)
{
    std::vector<std::string> opens;
    for (const std::string &command : mci.Commands())
        if (command.compare(0, 5, "open ") == 0)
            opens.push_back(command);
    return opens;
}

unsigned NoMidiOutput() { return 0; }

class EntriesThatGiveWayTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        window = StartTestPlayer(folder.path());
        mci.Clear();
    }
    void Tick() { SendMessageA(window, WM_TIMER, PollTimerId, 0); }

    TempDir folder;
    MciRecorder mci;
    HWND window = nullptr;
};

// Each refused entry leaves the list without a command for it, and the
// entry after it plays.
TEST_F(EntriesThatGiveWayTest, DevicesFoldersAndSilentMidiNeverReachABackEnd)
{
    FakeEngine engine;
    MakeFolder(folder / "folder.wav");
    struct Case {
        std::string entry;
        bool midiOutput;
        bool refused;
    };
    const Case cases[] = {
        {"AUX.wma", true, true},
        {"COM1.wma", true, true},
        {"C:\\AUX.wma", true, true},
        {folder / "aux.wma", true, true},
        {folder / "lpt1.mp3", true, true},
        {"\\\\.\\pipe\\tunewell.wav", true, true},
        {folder / "folder.wav", true, true},
        {"C:\\snd\\a.mid", false, true},
        {"C:\\snd\\a.MIDI", false, true},
        {"C:\\snd\\a.rmi", false, true},
        {"C:\\snd\\a.mid", true, false},
        {"C:\\snd\\auxiliary.wma", true, false},
    };
    const std::string next = "C:\\snd\\next.wav";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry);
        if (!c.midiOutput)
            midiOutputCounter = NoMidiOutput;
        player.playlist = {c.entry, next};
        player.currentIndex = 0;
        player.repeatMode = 1;
        SetTransportFlags(Transport::Idle, Mci);
        mci.Clear();
        engine.calls.clear();

        PlayTrack(0);
        std::vector<std::string> expected;
        if (!c.refused)
            expected.push_back(MciOpenCommand(c.entry));
        else
            expected.push_back(MciOpenCommand(next));
        EXPECT_EQ(Opens(mci), expected);
        EXPECT_TRUE(engine.calls.empty());
        EXPECT_EQ(player.playlist.size(), c.refused ? 1u : 2u);
        EXPECT_EQ(player.playing, 1);
        // The recorder stands in for a device with a MIDI output again.
        midiOutputCounter = [] { return 1u; };
    }
}

// An MP4 box: its size, its type and what it holds.
std::string Box(const char *type, const std::string &content, uint32_t claimedBytes = 0)
{
    uint32_t bytes = claimedBytes ? claimedBytes : uint32_t(8 + content.size());
    std::string box = {char(bytes >> 24), char(bytes >> 16), char(bytes >> 8), char(bytes)};
    return box + type + content;
}

// An M4A file whose boxes end, or are cut off, before any media data holds
// no sound, and the platform's media player may wait for ever in its open
// (Wine's does): it gives way like a file that is not there. Any file with
// media data, however cut, and anything that is not MP4 boxes at all, is
// left to the media player.
TEST_F(EntriesThatGiveWayTest, AnM4aWithoutMediaDataNeverReachesTheMediaPlayer)
{
    const std::string type = Box("ftyp", "M4A isomiso2");
    const std::string movie = Box("moov", std::string(40, '\0'));
    struct Case {
        const char *name;
        std::string bytes;
        bool refused;
    };
    const Case cases[] = {
        {"boxes-only.m4a", type + movie, true},
        {"cut-before-data.m4a", type + movie + Box("free", std::string(20, '\0'), 5000), true},
        {"large-size-cut.m4a", type + std::string("\0\0\0\1moov\0\0\0\0\0\1\0\0", 16), true},
        {"data-first.m4a", type + Box("mdat", std::string(64, 'x')) + movie, false},
        {"data-cut.m4a", type + movie + Box("mdat", std::string(64, 'x'), 90000), false},
        {"data-to-end.m4a", type + movie + Box("mdat", std::string(64, 'x'), 0).replace(0, 4, 4, '\0'), false},
        {"not-boxes.m4a", std::string("\xff\xf1\x50\x80") + std::string(200, '\0'), false},
        {"empty.m4a", std::string(), false},
        {"bad-size.m4a", type + Box("moov", "", 3), false},
    };
    const std::string next = "C:\\snd\\next.wav";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string entry = folder / c.name;
        WriteBytes(entry, c.bytes);
        player.playlist = {entry, next};
        player.currentIndex = 0;
        player.repeatMode = 1;
        SetTransportFlags(Transport::Idle, Mci);
        mci.Clear();

        PlayTrack(0);
        EXPECT_EQ(Opens(mci), std::vector<std::string>{MciOpenCommand(c.refused ? next : entry)});
        EXPECT_EQ(player.playlist.size(), c.refused ? 1u : 2u);
        EXPECT_EQ(player.playing, 1);
    }
}

// A MIDI track whose position stands still for ten polls in a row (3 s)
// ends like a track that ran out; one that moves, and any other track,
// plays on however long its position stands.
TEST_F(EntriesThatGiveWayTest, AMidiTrackThatNeverMovesEnds)
{
    struct Case {
        const char *entry;
        bool moves;
        int pollsUntilEnded; // 0: never within 30 polls
    };
    const Case cases[] = {
        {"C:\\snd\\silent.mid", false, 11},
        {"C:\\snd\\heard.mid", true, 0},
        {"C:\\snd\\still.wav", false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry);
        player.playlist = {c.entry};
        player.repeatMode = 1;
        SetTransportFlags(Transport::Idle, Mci);
        PlayTrack(0);
        ASSERT_EQ(player.playing, 1);
        mci.Clear();

        int ended = 0;
        for (int poll = 1; poll <= 30 && !ended; ++poll) {
            mci.Answer("status music position wait", 0, c.moves ? std::to_string(poll * 300) : "1500");
            Tick();
            if (!Opens(mci).empty())
                ended = poll;
        }
        EXPECT_EQ(ended, c.pollsUntilEnded);
        if (ended) {
            // Repeat mode: the same entry again, closed first.
            EXPECT_EQ(Opens(mci), std::vector<std::string>{MciOpenCommand(c.entry)});
            EXPECT_EQ(player.playlist.size(), 1u);
        }
    }
}

// A pause, a resume or a seek starts the count afresh.
TEST_F(EntriesThatGiveWayTest, TheStillCountStartsAgainAfterAResumeOrASeek)
{
    player.playlist = {"C:\\snd\\silent.mid"};
    player.repeatMode = 1;
    PlayTrack(0);
    mci.Answer("status music position wait", 0, "1500");
    for (int poll = 0; poll < 8; ++poll)
        Tick();
    PauseTrack();
    ResumeTrack();
    for (int poll = 0; poll < 8; ++poll)
        Tick();
    SeekTrack(1);
    for (int poll = 0; poll < 10; ++poll)
        Tick();
    EXPECT_EQ(Opens(mci).size(), 1u) << "ended before standing still for ten polls";
    Tick();
    EXPECT_EQ(Opens(mci).size(), 2u) << "still not ended";
}

// Notes the current directory at each open before the recorder takes it.
std::string folderAtOpen;
MciSender recordingSender = nullptr;

MCIERROR NoteFolderAndRecord(const char *command, char *reply, UINT replyLength, HWND callback)
{
    if (std::string(command).compare(0, 5, "open ") == 0) {
        char current[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, current);
        folderAtOpen = current;
    }
    return recordingSender(command, reply, replyLength, callback);
}

// A dialog makes the folder it shows the current one; relative entries
// still open from the folder the player started in, the entries stay as
// they are, and the dialog's folder is current again afterwards.
TEST_F(EntriesThatGiveWayTest, RelativeEntriesOpenFromTheStartFolder)
{
    TempDir other;
    player.playlist = {"one.wav"};
    SetCurrentDirectoryA(other.path().c_str());
    folderAtOpen.clear();
    recordingSender = mciSender;
    mciSender = NoteFolderAndRecord;
    PlayTrack(0);
    mciSender = recordingSender;

    EXPECT_EQ(folderAtOpen, folder.path());
    EXPECT_EQ(Opens(mci), std::vector<std::string>{MciOpenCommand("one.wav")});
    EXPECT_EQ(player.playlist, std::vector<std::string>{"one.wav"});
    EXPECT_EQ(player.playing, 1);
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current), other.path());
    // The other folder can go only once it is no longer current.
    SetCurrentDirectoryA(folder.path().c_str());
}

// ---- With the platform's own MCI ------------------------------------------

// Passes every command on to the platform and counts the opens, and those
// of entries named "gone...".
std::atomic<int> platformOpens{0};
std::atomic<int> goneOpens{0};
MciSender platformSender = nullptr;

MCIERROR CountOpensAndSend(const char *command, char *reply, UINT replyLength, HWND callback)
{
    std::string text = command;
    if (text.compare(0, 5, "open ") == 0) {
        ++platformOpens;
        if (text.find("\\gone") != std::string::npos)
            ++goneOpens;
    }
    return platformSender(command, reply, replyLength, callback);
}

class EntriesHeardTest : public PlayerTest {
  protected:
    void SetUp() override
    {
        REQUIRE_SOUND_FILE();
        StartTestPlayer(folder.path());
        ClearSound();
        platformOpens = 0;
        goneOpens = 0;
        platformSender = mciSender;
        mciSender = CountOpensAndSend;
    }
    void TearDown() override
    {
        PlayerTest::TearDown();
        if (platformSender)
            mciSender = platformSender;
        platformSender = nullptr;
    }
    TempDir folder;
};

// A Standard MIDI File of one track: a note held for half a second.
void WriteMidiFile(const std::string &path)
{
    const unsigned char track[] = {
        0x00, 0xC0, 0x00,             // piano
        0x00, 0x90, 0x3C, 0x64,       // note on, middle C
        0x60, 0x80, 0x3C, 0x40,       // a quarter later (96 ticks): note off
        0x00, 0xFF, 0x2F, 0x00,       // end of track
    };
    std::string file("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    file += std::string("MTrk\0\0\0", 7) + static_cast<char>(sizeof track);
    file += std::string(reinterpret_cast<const char *>(track), sizeof track);
    WriteBytes(path, file);
}

// A MIDI file in a list with a WAV: where nothing can sound it, it gives
// way, and the WAV plays on and on, heard at its own frequency.
TEST_F(EntriesHeardTest, AMidiFileThatCannotSoundLetsTheListGoOn)
{
    WriteMidiFile(folder / "song.mid");
    WriteToneWav(folder / "tone.wav", 1.0, 660);
    player.playlist = {folder / "song.mid", folder / "tone.wav"};
    PlayTrack(0);
    // Each natural end of the one-second tone starts a track again.
    ASSERT_TRUE(WaitUntil([] { return platformOpens >= 4; }, 60000)) << "the list stopped";
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(player.title, "tone.wav");
    SoundSummary heard = WaitForSound(0.25);
    EXPECT_NEAR(heard.frequency, 660, 20);
}

// Threads of this process.
int ThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread = {};
    thread.dwSize = sizeof thread;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// Bytes of memory this process has committed.
size_t CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// Entries that name nothing (a list moved elsewhere, a drive gone) are not
// handed to the platform at all: its media player would leave a thread and
// about a megabyte behind for each. A list of a hundred such entries costs
// nothing, and the one track among them plays.
TEST_F(EntriesHeardTest, ManyEntriesThatAreNotThereLeaveNothingBehind)
{
    std::string tone = folder / "tone.wav";
    WriteToneWav(tone, 30, 440);
    // The platform's wave player keeps its threads once it is loaded.
    player.playlist = {tone};
    PlayTrack(0);
    ASSERT_EQ(player.playing, 1);
    int threads = ThreadCount();
    size_t memory = CommittedBytes();

    for (int round = 0; round < 3; ++round) {
        player.playlist = {tone};
        for (int i = 0; i < 98; ++i)
            player.playlist.push_back(folder / ("gone" + std::to_string(i) + ".wma"));
        // Each start tries the last entry; the ones not there leave the
        // list, until the tone is all that is left.
        for (int i = 0; i < 99 && player.playlist.size() > 1; ++i)
            PlayTrack(static_cast<int>(player.playlist.size()) - 1);
        EXPECT_EQ(player.playlist, std::vector<std::string>{tone});
        EXPECT_EQ(player.playing, 1);
    }
    EXPECT_EQ(goneOpens, 0) << "entries that are not there were handed to MCI";
    EXPECT_LE(ThreadCount(), threads + 1);
    EXPECT_LT(CommittedBytes(), memory + 16 * 1024 * 1024);
    EXPECT_NEAR(WaitForSound(0.25).frequency, 440, 10);
}

// A file named like a device, found by the folder scan, is never opened:
// the player goes on with the rest and answers at once.
TEST_F(EntriesHeardTest, AFileNamedLikeADeviceIsPassedOver)
{
    std::string tone = folder / "tone.wav";
    WriteToneWav(tone, 30, 440);
    // Windows cannot make a file of that name; the Linux side can.
    std::string unixFolder = UnixPathOf(folder.path());
    ASSERT_FALSE(unixFolder.empty());
    ASSERT_EQ(RunLinuxCommand("cp '" + UnixPathOf(tone) + "' '" + unixFolder + "/aux.wma'"), 0);
    player.playlist = {folder / "aux.wma", tone};
    PlayTrack(0);
    EXPECT_EQ(platformOpens, 1);
    EXPECT_EQ(player.playlist, std::vector<std::string>{tone});
    EXPECT_EQ(player.playing, 1);
    EXPECT_NEAR(WaitForSound(0.25).frequency, 440, 10);
}

} // namespace
