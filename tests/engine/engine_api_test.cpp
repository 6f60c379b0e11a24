// VBMP3.dll through its twelve entry points, as the program binds them:
// the information record, play to the end with the sound checked sample
// for sample, pause, stop and seek in every state, bad files, files cut
// while they play, and no leaks.
#include "engine_test_support.h"

#include <cstddef>
#include <cstring>
#include <set>

namespace {

class EngineApiTest : public EngineTest {
  protected:
    // Opens a fixture and checks that it opened.
    void Open(const char *name)
    {
        std::memset(&info, 0xAB, sizeof info);
        ASSERT_EQ(Engine().open(Fixture(name).c_str(), &info), 1) << name;
    }
    InfoRecord info;
};

TEST_F(EngineApiTest, HarmlessEntriesAnswerWithoutATrack)
{
    EXPECT_EQ(Engine().getVersion(), 100);
    EXPECT_EQ(Engine().callback(), 0);
    int position = -1;
    EXPECT_EQ(Engine().getState(&position), StateNoTrack);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(Engine().getState(nullptr), StateNoTrack);
    EXPECT_EQ(Engine().play(), 0);
    Engine().pause();
    Engine().restart();
    Engine().stop();
    EXPECT_EQ(Engine().seek(3), 0);
    EXPECT_EQ(State(), StateNoTrack);
}

// The library exports the twelve entry points of vbmp3.h by their bare
// names, and nothing else.
TEST(EngineExportsTest, ExactlyTheEntryPointsOfTheContract)
{
    HMODULE module = EngineModule();
    ASSERT_NE(module, nullptr) << "build/VBMP3.dll did not load";
    const BYTE *base = reinterpret_cast<const BYTE *>(module);
    const IMAGE_DOS_HEADER *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const IMAGE_NT_HEADERS *headers = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(directory.VirtualAddress, 0u);
    const IMAGE_EXPORT_DIRECTORY *exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + directory.VirtualAddress);
    const DWORD *names = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
    std::set<std::string> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        exported.insert(reinterpret_cast<const char *>(base + names[i]));
    EXPECT_EQ(exports->NumberOfFunctions, 12u);

    const std::set<std::string> declared = {
#define VBMP3_NAME(field, name) #name,
        VBMP3_ENTRY_POINTS(VBMP3_NAME)
#undef VBMP3_NAME
    };
    EXPECT_EQ(declared.size(), 12u);
    EXPECT_EQ(exported, declared);
}

struct LengthCase {
    const char *file;
    int32_t seconds;
    uint32_t sampleRate;
    uint32_t channels;
    uint32_t mpegVersion;
};

class EngineLengthTest : public EngineApiTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(EngineLengthTest, RecordHoldsTheTrueLength)
{
    const LengthCase &c = GetParam();
    Open(c.file);
    EXPECT_EQ(info.totalSeconds, c.seconds);
    EXPECT_EQ(info.sampleRate, c.sampleRate);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(info.mpegVersion, c.mpegVersion);
    EXPECT_EQ(info.layer, 3u);
    EXPECT_EQ(info.totalMilliseconds / 1000, uint32_t(c.seconds));
    // Beyond the fields the record is zero.
    for (size_t i = 0; i < sizeof info.reserved; ++i)
        ASSERT_EQ(info.reserved[i], 0) << "byte " << offsetof(InfoRecord, reserved) + i;
    EXPECT_EQ(State(), StateStopped);
    EXPECT_EQ(Position(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EngineLengthTest,
    ::testing::Values(LengthCase{"cbr128.mp3", 5, 44100, 2, 10}, LengthCase{"cbr10.mp3", 10, 44100, 2, 10},
                      // 6.5 s, bitrate from 32 to 300 kbit/s
                      LengthCase{"vbr.mp3", 6, 44100, 2, 10}, LengthCase{"mono22.mp3", 4, 22050, 1, 20},
                      LengthCase{"rate8000.mp3", 2, 8000, 2, 25}, LengthCase{"rate12000.mp3", 2, 12000, 2, 25},
                      LengthCase{"rate16000.mp3", 2, 16000, 2, 20}, LengthCase{"rate48000.mp3", 2, 48000, 2, 10},
                      LengthCase{"id3v2.mp3", 5, 44100, 2, 10}, LengthCase{"id3huge.mp3", 5, 44100, 2, 10},
                      LengthCase{"id3v1.mp3", 5, 44100, 2, 10},
                      LengthCase{"crc.mp3", 5, 44100, 2, 10}, LengthCase{"ape.mp3", 5, 44100, 2, 10},
                      // No LAME tag: the decoder's delay alone is trimmed, 5.03 s remain.
                      LengthCase{"notag.mp3", 5, 44100, 2, 10},
                      // Seven frames lost to the damage: 9.82 s.
                      LengthCase{"damaged.mp3", 9, 44100, 2, 10},
                      // The last frame cut short: 4.99 s.
                      LengthCase{"truncated.mp3", 4, 44100, 2, 10}));

TEST_F(EngineApiTest, RecordDescribesTheEncoding)
{
    Open("vbr.mp3");
    const InfoRecord &f = info;
    EXPECT_EQ(f.totalSamples, 286650u); // 6.5 s at 44.1 kHz
    EXPECT_EQ(f.encoderDelay, 576u);
    EXPECT_TRUE(f.flags & 1) << "variable bitrate";
    EXPECT_TRUE(f.flags & 2) << "Xing/Info header";
    EXPECT_TRUE(f.flags & 8) << "LAME tag";
    Open("id3v2.mp3");
    EXPECT_EQ(info.audioOffset, 2020u);
    EXPECT_TRUE(info.flags & 16);
}

TEST_F(EngineApiTest, BadInputFailsCleanly)
{
    std::string longPath = "C:\\" + std::string(300, 'a') + ".mp3";
    for (std::string path : {Fixture("empty.mp3"), Fixture("random.mp3"), Fixture("tiny.mp3"),
                             Fixture("no such file.mp3"), longPath, BuildFolder()}) {
        std::memset(&info, 0xAB, sizeof info);
        EXPECT_EQ(Engine().open(path.c_str(), &info), 0) << path;
        EXPECT_EQ(info.totalSeconds, 0) << path;
        EXPECT_EQ(Engine().play(), 0) << path;
        EXPECT_EQ(State(), StateNoTrack) << path;
        Engine().close();
    }
    EXPECT_EQ(Engine().open(nullptr, &info), 0);
    EXPECT_EQ(Engine().open(Fixture("cbr128.mp3").c_str(), nullptr), 1);
}

TEST_F(EngineApiTest, OpensJapaneseFileNames)
{
    TempDir folder;
    std::string path = folder / "日本語の曲.mp3";
    ASSERT_TRUE(CopyFileA(Fixture("cbr128.mp3").c_str(), path.c_str(), FALSE));
    EXPECT_EQ(Engine().open(path.c_str(), &info), 1);
    EXPECT_EQ(info.totalSeconds, 5);
    Engine().close();
}

struct SoundCase {
    const char *file;
    int sampleRate;
    int channels;
    double seconds;
    double frequency;
};

class EngineSoundTest : public EngineApiTest, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(EngineSoundTest, PlaysTheWholeToneAndEnds)
{
    REQUIRE_SOUND_FILE();
    const SoundCase &c = GetParam();
    Open(c.file);
    ASSERT_NE(Engine().play(), 0);
    EXPECT_EQ(State(), StatePlaying);
    ASSERT_TRUE(WaitForEnd());
    int position = -1;
    EXPECT_EQ(Engine().getState(&position), StateEnded);
    EXPECT_EQ(position, info.totalSeconds);
    Engine().close();
    // Exactly the track's samples: nothing before, nothing after.
    std::string decoded = DecodeFile(Fixture(c.file));
    std::string heard = HeardAgainst(decoded, c.sampleRate, c.channels);
    EXPECT_EQ(heard.size(), size_t(c.seconds * c.sampleRate + 0.5) * 2 * c.channels);
    EXPECT_TRUE(heard == decoded) << "not the track's samples";
    SoundSummary sound = SummarizeSound(heard, c.sampleRate, c.channels);
    EXPECT_NEAR(sound.frequency, c.frequency, c.frequency * 0.02);
    EXPECT_GT(sound.rms, 5000);
}

INSTANTIATE_TEST_SUITE_P(Files, EngineSoundTest,
                         ::testing::Values(SoundCase{"cbr128.mp3", 44100, 2, 5.0, 440},
                                           SoundCase{"mono22.mp3", 22050, 1, 4.5, 1000},
                                           SoundCase{"rate8000.mp3", 8000, 2, 2.0, 500},
                                           SoundCase{"id3v2.mp3", 44100, 2, 5.0, 440}));

// What is heard is what was encoded: lined up by cross-correlation, with
// no silence before or after it beyond what the source itself holds.
struct HeardCase {
    const char *file;   // its source is the .raw beside it
    int channels;
};

class EngineHeardTest : public EngineApiTest, public ::testing::WithParamInterface<HeardCase> {};

TEST_P(EngineHeardTest, HeardIsWhatWasEncoded)
{
    REQUIRE_SOUND_FILE();
    const HeardCase &c = GetParam();
    std::string source = FixtureSource(c.file);
    ASSERT_FALSE(source.empty()) << "no source for " << c.file;
    Open(c.file);
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    Engine().close();
    std::string decoded = DecodeFile(Fixture(c.file));
    std::string heard = HeardAgainst(decoded, info.sampleRate, c.channels);
    Alignment aligned = AlignWithSource(heard, source, c.channels);
    EXPECT_EQ(aligned.lead, 0) << "samples before the sound";
    EXPECT_EQ(aligned.tail, 0) << "samples after the sound";
    EXPECT_GT(aligned.correlation, 0.99);
    // And every sample that reached the device is one of the track's.
    EXPECT_TRUE(heard == decoded) << "the device got other samples than the decoder made";
}

INSTANTIATE_TEST_SUITE_P(Files, EngineHeardTest,
                         ::testing::Values(HeardCase{"sweep.mp3", 2}, HeardCase{"sweep22.mp3", 1},
                                           // Two seconds of silence first, then noise and a tone.
                                           HeardCase{"vbr.mp3", 2},
                                           // No bitrate in its headers.
                                           HeardCase{"free.mp3", 2}));

TEST_F(EngineApiTest, DamagedMiddlePlaysOnToTheEnd)
{
    REQUIRE_SOUND_FILE();
    for (const char *file : {"damaged.mp3", "truncated.mp3"}) {
        ClearSound();
        Open(file);
        ASSERT_NE(Engine().play(), 0);
        ASSERT_TRUE(WaitForEnd()) << file;
        EXPECT_EQ(State(), StateEnded) << file;
        Engine().close();
        std::string decoded = DecodeFile(Fixture(file));
        std::string heard = HeardAgainst(decoded);
        EXPECT_EQ(heard.size(), info.totalSamples * 4u) << file;
        EXPECT_TRUE(heard == decoded) << file;
        EXPECT_NEAR(SummarizeSound(heard, 44100, 2).frequency, 440, 15) << file;
    }
}

TEST_F(EngineApiTest, SeekBeforePlayingThenRestartPlaysTheRest)
{
    REQUIRE_SOUND_FILE();
    Open("cbr128.mp3");
    EXPECT_EQ(Engine().seek(2), 1);
    EXPECT_EQ(State(), StateStopped);
    EXPECT_EQ(Position(), 2);
    Engine().restart();
    EXPECT_EQ(State(), StatePlaying);
    ASSERT_TRUE(WaitForEnd());
    Engine().close();
    std::string rest = DecodeFile(Fixture("cbr128.mp3"), 2 * 44100);
    std::string heard = HeardAgainst(rest);
    EXPECT_EQ(heard.size(), size_t(3 * 44100 * 4));
    EXPECT_TRUE(heard == rest) << "not the samples from 2 s on";
    EXPECT_NEAR(SummarizeSound(heard, 44100, 2).frequency, 440, 9);
}

TEST_F(EngineApiTest, SeekWhilePlayingGoesOnFromThere)
{
    REQUIRE_SOUND_FILE();
    // Ten seconds: the null device plays several times faster than real
    // time, and what is left after the seek must outlast the checks that
    // follow it on a busy machine, where this thread may wait its turn for
    // a second or more.
    Open("cbr10.mp3");
    ASSERT_NE(Engine().play(), 0);
    EXPECT_EQ(Engine().seek(2), 1);
    EXPECT_EQ(State(), StatePlaying);
    EXPECT_GE(Position(), 2);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    Engine().close();
    // The seek opened the device afresh: it got exactly the 8 s after the
    // seek, with no silence at the join.
    std::string rest = DecodeFile(Fixture("cbr10.mp3"), 2 * 44100);
    EXPECT_TRUE(HeardAgainst(rest) == rest) << "not the samples from 2 s on";
}

TEST_F(EngineApiTest, PauseHoldsThePositionAndRestartGoesOn)
{
    REQUIRE_SOUND_FILE();
    Open("cbr10.mp3");
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitUntil([] { return Position() >= 1; }));
    Engine().pause();
    EXPECT_EQ(State(), StatePaused);
    // The sound stops at once: at most what the device had taken, 100 ms
    // of it, comes out after the pause.
    size_t soundAtPause = ReadBytes(SoundFilePath()).size();
    int held = Position();
    EXPECT_FALSE(WaitUntil([&] { return Position() != held; }, 400)) << "moved while paused";
    EXPECT_LE(ReadBytes(SoundFilePath()).size(), soundAtPause + 17640);
    EXPECT_EQ(Engine().seek(held), 1);
    EXPECT_EQ(State(), StatePaused);
    Engine().restart();
    EXPECT_EQ(State(), StatePlaying);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    Engine().close();
    // The seek dropped the device; the restart opened it afresh at the
    // held second and played exactly the rest.
    std::string rest = DecodeFile(Fixture("cbr10.mp3"), uint64_t(held) * 44100);
    EXPECT_TRUE(HeardAgainst(rest) == rest) << "not the rest from " << held;
}

TEST_F(EngineApiTest, PauseAndRestartLoseAndAddNothing)
{
    REQUIRE_SOUND_FILE();
    Open("cbr10.mp3");
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitUntil([] { return Position() >= 1; }));
    Engine().pause();
    EXPECT_FALSE(WaitUntil([] { return State() != StatePaused; }, 300));
    Engine().restart();
    ASSERT_TRUE(WaitForEnd());
    Engine().close();
    std::string decoded = DecodeFile(Fixture("cbr10.mp3"));
    EXPECT_TRUE(HeardAgainst(decoded) == decoded) << "the pause left a gap or lost samples";
}

TEST_F(EngineApiTest, StopThenSeekToStartThenRestartPlaysFromTheStart)
{
    REQUIRE_SOUND_FILE();
    Open("cbr128.mp3");
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitUntil([] { return Position() >= 1; }));
    Engine().stop();
    EXPECT_EQ(State(), StateStopped);
    int held = Position();
    EXPECT_GE(held, 1);
    EXPECT_FALSE(WaitUntil([&] { return Position() != held; }, 300)) << "moved while stopped";
    Engine().seek(0);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(State(), StateStopped);
    Engine().restart();
    EXPECT_EQ(State(), StatePlaying);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    EXPECT_EQ(Position(), 5);
    Engine().close();
    // The stop closed the device; the restart opened it afresh and played
    // the whole track, exactly.
    std::string decoded = DecodeFile(Fixture("cbr128.mp3"));
    EXPECT_TRUE(HeardAgainst(decoded) == decoded) << "not the whole track";
}

TEST_F(EngineApiTest, SeekAfterTheEndAndPastTheEnd)
{
    Open("rate8000.mp3");
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    EXPECT_EQ(Engine().seek(1), 1);
    EXPECT_EQ(State(), StateStopped);
    EXPECT_EQ(Position(), 1);
    Engine().restart();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    // Past the end, and before the start, while playing.
    ASSERT_NE(Engine().play(), 0);
    Engine().seek(3600);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    EXPECT_EQ(Position(), 2);
    ASSERT_NE(Engine().play(), 0);
    Engine().seek(-5);
    EXPECT_EQ(Position(), 0);
    Engine().close();
    EXPECT_EQ(State(), StateNoTrack);
}

TEST_F(EngineApiTest, OpenWhilePlayingClosesTheOldTrack)
{
    Open("cbr10.mp3");
    ASSERT_NE(Engine().play(), 0);
    Open("mono22.mp3");
    EXPECT_EQ(State(), StateStopped);
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Position(), 4);
}

// The file is cut under the engine, as a pulled drive, a lost share or
// another program rewriting it would: the track ends (any state but
// playing, which moves the program on), nothing faults, and the engine
// plays the next file.
struct CutCase {
    const char *name;
    enum When { WhilePlaying, BeforePlay, WhilePaused, AfterSeek } when;
    uint64_t keepBytes;
};

class EngineCutTest : public EngineApiTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(EngineCutTest, TrackEndsAndTheEngineGoesOn)
{
    const CutCase &c = GetParam();
    TempDir folder;
    std::string path = folder / "long.mp3";
    ASSERT_TRUE(CopyFileA(Fixture("long.mp3").c_str(), path.c_str(), FALSE));
    ASSERT_EQ(Engine().open(path.c_str(), &info), 1);
    EXPECT_EQ(info.totalSeconds, 120);
    if (c.when != CutCase::BeforePlay) {
        ASSERT_NE(Engine().play(), 0);
        ASSERT_TRUE(WaitUntil([] { return Position() >= 1; }));
    }
    if (c.when == CutCase::WhilePaused)
        Engine().pause();
    if (c.when == CutCase::AfterSeek)
        Engine().seek(60);
    ASSERT_TRUE(CutFile(path, c.keepBytes)) << "could not cut " << path;
    if (c.when == CutCase::BeforePlay)
        Engine().play();
    if (c.when == CutCase::WhilePaused) {
        EXPECT_EQ(State(), StatePaused);
        Engine().restart();
    }
    // 20,000 bytes hold 2.5 s: the track ends long before its two minutes.
    EXPECT_TRUE(WaitUntil([] { return State() != StatePlaying; }, 20000)) << "still playing";
    EXPECT_EQ(State(), StateEnded);
    int position = -1;
    Engine().getState(&position);
    EXPECT_GE(position, 0);
    EXPECT_LE(position, 120);
    // What is left of the file still plays, from the start.
    Engine().seek(0);
    Engine().restart();
    EXPECT_TRUE(WaitUntil([] { return State() != StatePlaying; }, 20000));
    // And the next file plays as ever.
    Open("rate8000.mp3");
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
}

INSTANTIATE_TEST_SUITE_P(Cuts, EngineCutTest,
                         ::testing::Values(CutCase{"WhilePlaying", CutCase::WhilePlaying, 20000},
                                           CutCase{"ToNothingWhilePlaying", CutCase::WhilePlaying, 0},
                                           CutCase{"BetweenOpenAndPlay", CutCase::BeforePlay, 20000},
                                           CutCase{"WhilePaused", CutCase::WhilePaused, 20000},
                                           CutCase{"AfterASeek", CutCase::AfterSeek, 20000},
                                           CutCase{"MidFrameAfterASeek", CutCase::AfterSeek, 40111}),
                         [](const ::testing::TestParamInfo<CutCase> &info) { return std::string(info.param.name); });

TEST_F(EngineApiTest, ThousandCyclesLeaveNothingBehind)
{
    auto nextHandle = [] {
        HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(probe);
        return reinterpret_cast<uintptr_t>(probe);
    };
    // One round first, so that what the platform keeps for good is there.
    Open("rate8000.mp3");
    Engine().play();
    Engine().close();
    uintptr_t before = nextHandle();
    std::string path = Fixture("rate8000.mp3");
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(Engine().open(path.c_str(), &info), 1);
        ASSERT_NE(Engine().play(), 0);
        if (i % 100 == 0) {
            Engine().pause();
            Engine().seek(1);
            Engine().restart();
        }
        Engine().close();
    }
    uintptr_t after = nextHandle();
    EXPECT_LE(after, before + 0x40) << std::hex << before << " -> " << after;
}

} // namespace
