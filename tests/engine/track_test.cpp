// The decoding cursor over the platform's codec: exactly the source's
// samples, and the same samples after a seek as from the start.
#include "engine_test_support.h"

#include <cmath>
#include <cstdlib>

namespace {

std::string DecodeAll(Track *track) { return DecodeRest(track); }

struct DecodeCase {
    const char *file;
    int sampleRate;
    int channels;
    uint64_t samples;  // the source's own sample count
    double frequency;
};

class EngineTrackTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(EngineTrackTest, DecodesExactlyTheSourceSamples)
{
    const DecodeCase &c = GetParam();
    Track track;
    ASSERT_TRUE(OpenTrack(&track, Fixture(c.file).c_str())) << c.file;
    EXPECT_EQ(track.stream.format.sampleRate, c.sampleRate);
    EXPECT_EQ(track.stream.format.channels, c.channels);
    EXPECT_EQ(track.stream.totalSamples, c.samples);
    std::string pcm = DecodeAll(&track);
    EXPECT_EQ(pcm.size(), c.samples * 2 * c.channels);
    SoundSummary sound = SummarizeSound(pcm, c.sampleRate, c.channels);
    EXPECT_NEAR(sound.frequency, c.frequency, c.frequency * 0.02);
    EXPECT_GT(sound.rms, 5000);
    // The lead is trimmed: the tone starts at once.
    const int16_t *samples = reinterpret_cast<const int16_t *>(pcm.data());
    double early = 0;
    for (int i = 0; i < 200 * c.channels && size_t(i) < pcm.size() / 2; ++i)
        early = std::max(early, std::fabs(double(samples[i])));
    EXPECT_GT(early, 3000) << "silence before the tone";
    CloseTrack(&track);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EngineTrackTest,
    ::testing::Values(DecodeCase{"cbr128.mp3", 44100, 2, 220500, 440}, DecodeCase{"mono22.mp3", 22050, 1, 99225, 1000},
                      DecodeCase{"id3v2.mp3", 44100, 2, 220500, 440},
                      DecodeCase{"crc.mp3", 44100, 2, 220500, 440}, DecodeCase{"ape.mp3", 44100, 2, 220500, 440},
                      DecodeCase{"id3v1.mp3", 44100, 2, 220500, 440}, DecodeCase{"rate8000.mp3", 8000, 2, 16000, 500},
                      DecodeCase{"rate11025.mp3", 11025, 2, 22050, 500},
                      DecodeCase{"rate12000.mp3", 12000, 2, 24000, 500},
                      DecodeCase{"rate16000.mp3", 16000, 2, 32000, 500},
                      DecodeCase{"rate22050.mp3", 22050, 2, 44100, 500},
                      DecodeCase{"rate24000.mp3", 24000, 2, 48000, 500},
                      DecodeCase{"rate32000.mp3", 32000, 2, 64000, 500},
                      DecodeCase{"rate44100.mp3", 44100, 2, 88200, 500},
                      DecodeCase{"rate48000.mp3", 48000, 2, 96000, 500}));

TEST(EngineTrack, SeekGivesTheSameSamplesAsPlayingThrough)
{
    Track track;
    ASSERT_TRUE(OpenTrack(&track, Fixture("vbr.mp3").c_str()));
    std::string whole = DecodeAll(&track);
    ASSERT_EQ(whole.size(), track.stream.totalSamples * 4);
    for (uint64_t target : {uint64_t(0), uint64_t(1), uint64_t(1152 * 3 + 17), uint64_t(44100 * 3),
                            uint64_t(44100 * 5 + 999), track.stream.totalSamples - 100}) {
        SeekTrack(&track, target);
        std::string part = DecodeAll(&track);
        ASSERT_EQ(part.size(), whole.size() - target * 4) << target;
        const int16_t *a = reinterpret_cast<const int16_t *>(whole.data() + target * 4);
        const int16_t *b = reinterpret_cast<const int16_t *>(part.data());
        int worst = 0;
        for (size_t i = 0; i < std::min<size_t>(part.size() / 2, 8192); ++i)
            worst = std::max(worst, std::abs(a[i] - b[i]));
        // The codec's filter memory reaches a little further back than the
        // frames decoded before the target: what differs is rounding.
        EXPECT_LE(worst, 4) << "seek to " << target;
    }
    CloseTrack(&track);
}

} // namespace

namespace {

// Every file that the parser's fuzzer has kept, and frames whose headers
// are right but whose bodies are noise, go through the real codec: the
// engine hands over what it checked, and nothing crashes.
TEST(EngineTrack, CodecSurvivesGarbageFrames)
{
    TempDir folder;
    std::string noise;
    uint32_t seed = 12345;
    for (int frame = 0; frame < 200; ++frame) {
        noise += std::string("\xFF\xFB\x90\x64", 4);
        for (int i = 4; i < 417; ++i) {
            seed = seed * 1103515245 + 12345;
            noise += char(seed >> 16);
        }
    }
    WriteBytes(folder / "noise.mp3", noise);
    std::vector<std::string> files = {folder / "noise.mp3"};

    std::string corpus = BuildFolder() + "\\native\\mp3_stream_fuzzer-corpus";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((corpus + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(corpus + "\\" + found.cFileName);
        } while (FindNextFileA(search, &found) && files.size() < 400);
        FindClose(search);
    }
    int opened = 0;
    for (const std::string &file : files) {
        Track track;
        if (!OpenTrack(&track, file.c_str()))
            continue;
        ++opened;
        std::string pcm = DecodeAll(&track);
        EXPECT_LE(pcm.size(), track.stream.totalSamples * track.blockAlign) << file;
        SeekTrack(&track, track.stream.totalSamples / 2);
        DecodeAll(&track);
        CloseTrack(&track);
    }
    EXPECT_GE(opened, 1);
}

} // namespace

namespace {

// A file cut short after it was opened: the cursor gives what is still
// there and then ends, from the start or after a seek; nothing faults.
struct CutCase {
    const char *name;
    uint64_t keepBytes;     // what is left of the file
    uint64_t seekSample;    // where the cursor stands when it reads on
};

class EngineTrackCutTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(EngineTrackCutTest, DecodingEndsWhereTheDataEnds)
{
    const CutCase &c = GetParam();
    TempDir folder;
    std::string path = folder / "long.mp3";
    ASSERT_TRUE(CopyFileA(Fixture("long.mp3").c_str(), path.c_str(), FALSE));
    Track track;
    ASSERT_TRUE(OpenTrack(&track, path.c_str()));
    const uint64_t total = track.stream.totalSamples;
    // A little decoded before the cut, as a playing track has.
    std::string before(8192, '\0');
    ReadTrackPcm(&track, reinterpret_cast<uint8_t *>(&before[0]), uint32_t(before.size()));
    ASSERT_TRUE(CutFile(path, c.keepBytes)) << "could not cut " << path;
    SeekTrack(&track, c.seekSample);
    std::string rest = DecodeRest(&track);
    // 64 kbit/s: 8,000 bytes a second at 22,050 samples a second, mono.
    const double keptSamples = double(c.keepBytes) / 8000.0 * 22050.0;
    const double expected = keptSamples > double(c.seekSample) ? keptSamples - double(c.seekSample) : 0;
    EXPECT_LT(rest.size() / 2, total - c.seekSample);
    EXPECT_NEAR(double(rest.size() / 2), expected, 22050 * 0.2);
    CloseTrack(&track);
}

INSTANTIATE_TEST_SUITE_P(Cuts, EngineTrackCutTest,
                         ::testing::Values(CutCase{"to 20000 bytes", 20000, 0},
                                           CutCase{"to 20000 bytes, read from 1 s", 20000, 22050},
                                           CutCase{"to nothing", 0, 0},
                                           CutCase{"mid-frame", 40111, 0},
                                           CutCase{"before the seek target", 20000, 22050 * 60}),
                         [](const ::testing::TestParamInfo<CutCase> &info) {
                             std::string name = info.param.name;
                             for (char &ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
