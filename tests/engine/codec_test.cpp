// FLAC, Ogg Vorbis and Opus files: told by their content, decoded to
// exactly what each format's own decoder makes of them (NAME.ref beside
// them), from the start and from any sample, through the engine's cursor
// and through the built library to the sound device.
#include "engine_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <cstring>

namespace {

struct CodecCase {
    const char *file;
    const char *reference;
    uint32_t sampleRate;
    uint32_t channels;
};

uint64_t FramesOf(const std::string &pcm, uint32_t channels) { return pcm.size() / (2 * channels); }

// The largest difference between two equally long runs of 16-bit samples;
// -1 when their lengths differ.
int LargestDifference(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return -1;
    int largest = 0;
    for (size_t i = 0; i + 1 < a.size(); i += 2) {
        int x = int16_t(uint16_t(uint8_t(a[i])) | uint16_t(uint8_t(a[i + 1])) << 8);
        int y = int16_t(uint16_t(uint8_t(b[i])) | uint16_t(uint8_t(b[i + 1])) << 8);
        largest = std::max(largest, std::abs(x - y));
    }
    return largest;
}

// FLAC is lossless: its samples are the source's, exactly. Vorbis and Opus
// decode in floating point, whose last bit differs between this 32-bit
// build and the reference decoder's 64-bit one: there, every sample is
// within one step of the reference's, at the same place.
bool SameSound(const std::string &heard, const std::string &reference, const char *file)
{
    if (std::strstr(file, ".flac"))
        return heard == reference;
    int difference = LargestDifference(heard, reference);
    return difference >= 0 && difference <= 1;
}

// How alike two equally long runs are where they stand, first channel
// only: 1 for the same sound; a sweep moved by even one sample falls well
// below 0.99.
double CorrelationInPlace(const std::string &a, const std::string &b, uint32_t channels)
{
    const int16_t *x = reinterpret_cast<const int16_t *>(a.data());
    const int16_t *y = reinterpret_cast<const int16_t *>(b.data());
    double cross = 0, xx = 0, yy = 0;
    for (size_t i = 0; i < a.size() / 2; i += channels) {
        cross += double(x[i]) * y[i];
        xx += double(x[i]) * x[i];
        yy += double(y[i]) * y[i];
    }
    return xx > 0 && yy > 0 ? cross / std::sqrt(xx * yy) : 0;
}

// After a seek, Opus's decoder starts again a little before the sample
// and converges on the sound rather than repeating it bit for bit: there
// the rest must be as long as the reference's and line up with it at the
// very sample (too short a rest has nothing to line up).
bool SameSoundFrom(const std::string &rest, const std::string &reference, const CodecCase &c)
{
    if (!std::strstr(c.file, ".opus"))
        return SameSound(rest, reference, c.file);
    if (rest.size() != reference.size())
        return false;
    if (rest.size() < size_t(c.sampleRate / 10) * 2 * c.channels)
        return true;
    return CorrelationInPlace(rest, reference, c.channels) > 0.99;
}

class CodecDecodeTest : public ::testing::TestWithParam<CodecCase> {};

TEST_P(CodecDecodeTest, DecodesExactlyWhatTheFormatsOwnDecoderMakes)
{
    const CodecCase &c = GetParam();
    const std::string reference = ReadBytes(Fixture(c.reference));
    ASSERT_FALSE(reference.empty()) << c.reference;
    Track track;
    ASSERT_TRUE(OpenTrack(&track, Fixture(c.file).c_str())) << c.file;
    EXPECT_EQ(track.sampleRate, c.sampleRate);
    EXPECT_EQ(track.channels, c.channels);
    EXPECT_EQ(track.totalSamples, FramesOf(reference, c.channels)) << "not the exact length";
    std::string decoded = DecodeRest(&track);
    EXPECT_EQ(decoded.size(), reference.size());
    EXPECT_TRUE(SameSound(decoded, reference, c.file))
        << "not the samples of " << c.reference << "; largest difference " << LargestDifference(decoded, reference);

    // From a sample inside a block, from the last one, and from past the end.
    const uint64_t total = track.totalSamples;
    const size_t frameBytes = 2 * c.channels;
    for (uint64_t sample : {uint64_t(12345), uint64_t(c.sampleRate) + 1, total - 1, total + 10}) {
        SeekTrack(&track, sample);
        std::string rest = DecodeRest(&track);
        size_t from = sample < total ? size_t(sample) * frameBytes : reference.size();
        EXPECT_TRUE(SameSoundFrom(rest, reference.substr(from), c))
            << c.file << " from sample " << sample << "; largest difference "
            << LargestDifference(rest, reference.substr(from));
    }
    CloseTrack(&track);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CodecDecodeTest,
    ::testing::Values(CodecCase{"sweep.flac", "sweep.ref", 44100, 2},
                      CodecCase{"blocks192.flac", "blocks192.ref", 44100, 2},
                      CodecCase{"blocks16384.flac", "blocks16384.ref", 44100, 2},
                      CodecCase{"sweep22.flac", "sweep22.ref", 22050, 1},
                      // 8 bits, scaled up exactly
                      CodecCase{"mono8.flac", "mono8.ref", 48000, 1},
                      // No length in its stream information: counted at the open.
                      CodecCase{"nolength.flac", "nolength.ref", 44100, 2},
                      // A 3 MB picture block before the audio.
                      CodecCase{"picture.flac", "picture.ref", 44100, 2},
                      // An ID3v2 tag before "fLaC".
                      CodecCase{"id3.flac", "id3.ref", 44100, 2},
                      CodecCase{"sweep.ogg", "sweep-ogg.ref", 44100, 2},
                      CodecCase{"sweep22.ogg", "sweep22-ogg.ref", 22050, 1},
                      // Pre-skip and end trimming: 3 s at 48 kHz exactly.
                      CodecCase{"sweep.opus", "sweep-opus.ref", 48000, 2},
                      CodecCase{"sweep22.opus", "sweep22-opus.ref", 48000, 1}));

// Six channels play as 16-bit stereo, each file at its full length.
TEST(CodecFormatTest, SixChannelFilesPlayAsStereo)
{
    for (const char *file : {"six.flac", "six.ogg", "six.opus"}) {
        Track track;
        ASSERT_TRUE(OpenTrack(&track, Fixture(file).c_str())) << file;
        EXPECT_EQ(track.sampleRate, 48000u) << file;
        EXPECT_EQ(track.channels, 2u) << file;
        EXPECT_EQ(track.bits, 16u) << file;
        EXPECT_EQ(track.totalSamples, 96000u) << file;
        std::string pcm = DecodeRest(&track);
        CloseTrack(&track);
        EXPECT_EQ(pcm.size(), 96000u * 4) << file;
        EXPECT_GT(SummarizeSound(pcm, 48000, 2).rms, 2000) << file;
    }
}

// 24-bit FLAC hands out its own 24-bit samples; for a device that does not
// take them, 16 bits with dither, at the same length and tone.
TEST(CodecFormatTest, DeepFlacKeepsItsBitsOrIsDitheredTo16)
{
    const std::string reference = ReadBytes(Fixture("hd24.ref"));
    ASSERT_EQ(reference.size(), 192000u * 6);
    Track track;
    ASSERT_TRUE(OpenTrack(&track, Fixture("hd24.flac").c_str()));
    EXPECT_EQ(track.sampleRate, 96000u);
    EXPECT_EQ(track.bits, 24u);
    EXPECT_EQ(track.totalSamples, 192000u);
    EXPECT_TRUE(DecodeRest(&track) == reference) << "not the file's 24-bit samples";
    SeekTrack(&track, 50001);
    EXPECT_TRUE(DecodeRest(&track) == reference.substr(50001 * 6)) << "not its samples from 50001 on";

    LimitTrackTo16Bits(&track);
    EXPECT_EQ(track.bits, 16u);
    std::string pcm = DecodeRest(&track);
    CloseTrack(&track);
    ASSERT_EQ(pcm.size(), 192000u * 4);
    // Within a step and a half of each source sample cut to 16 bits: the
    // triangular dither moves a sample by less than two of them.
    int largest = 0;
    for (size_t i = 0; i < 192000u * 2; ++i) {
        const uint8_t *deep = reinterpret_cast<const uint8_t *>(reference.data()) + i * 3;
        int32_t source = int32_t(uint32_t(deep[0]) << 8 | uint32_t(deep[1]) << 16 | uint32_t(deep[2]) << 24) >> 8;
        int shallow = int16_t(uint16_t(uint8_t(pcm[i * 2])) | uint16_t(uint8_t(pcm[i * 2 + 1])) << 8);
        largest = std::max(largest, std::abs(source - shallow * 256));
    }
    EXPECT_LT(largest, 2 * 256) << "more than dither between the 16-bit sound and its source";
    EXPECT_NEAR(SummarizeSound(pcm, 96000, 2).frequency, 880, 880 * 0.02);
}

// The kind comes from the content: an MP3 named .flac plays as MP3, and
// FLAC inside Ogg, which the engine does not play, is refused.
TEST(CodecFormatTest, KindIsToldByContentNotName)
{
    TempDir folder;
    std::string disguised = folder / "really an mp3.flac";
    ASSERT_TRUE(CopyFileA(Fixture("cbr128.mp3").c_str(), disguised.c_str(), FALSE));
    Track track;
    ASSERT_TRUE(OpenTrack(&track, disguised.c_str()));
    EXPECT_EQ(track.kind, ContainerMpegAudio);
    EXPECT_EQ(track.totalSamples, 5u * 44100);
    CloseTrack(&track);
    EXPECT_FALSE(OpenTrack(&track, Fixture("ogg-flac.ogg").c_str()));
}

// A damaged middle is passed over and the track goes on to its end; a
// file cut short ends where its data ends.
TEST(CodecFormatTest, DamagedAndTruncatedFilesPlayWhatTheyHold)
{
    const std::string whole = ReadBytes(Fixture("sweep.ref"));
    Track track;
    ASSERT_TRUE(OpenTrack(&track, Fixture("damaged.flac").c_str()));
    std::string pcm = DecodeRest(&track);
    CloseTrack(&track);
    // The damage is 2.3 s in. Every frame whose check fails still takes
    // its place (as silence), so the length holds, and the samples before
    // and well after it are the source's.
    ASSERT_EQ(pcm.size(), whole.size());
    EXPECT_TRUE(pcm.compare(0, 2 * 44100 * 4, whole, 0, 2 * 44100 * 4) == 0) << "the first 2 s are not the source's";
    const size_t last = 44100 / 4 * 4;
    EXPECT_TRUE(pcm.compare(pcm.size() - last, last, whole, whole.size() - last, last) == 0)
        << "the last quarter second is not the source's";

    ASSERT_TRUE(OpenTrack(&track, Fixture("truncated.flac").c_str()));
    EXPECT_EQ(track.totalSamples, FramesOf(whole, 2)) << "the stream information still tells the whole length";
    pcm = DecodeRest(&track);
    CloseTrack(&track);
    EXPECT_GT(pcm.size(), whole.size() / 2);
    EXPECT_LT(pcm.size(), whole.size());
    EXPECT_TRUE(pcm.compare(0, pcm.size(), whole, 0, pcm.size()) == 0) << "what it holds is not the source's";
}

// Through the built library: the information record, and each format
// heard to the end, sample for sample.
class CodecEngineTest : public EngineTest, public ::testing::WithParamInterface<CodecCase> {};

TEST_P(CodecEngineTest, PlaysToTheEndExactly)
{
    REQUIRE_SOUND_FILE();
    const CodecCase &c = GetParam();
    const std::string reference = ReadBytes(Fixture(c.reference));
    InfoRecord info;
    std::memset(&info, 0xAB, sizeof info);
    ASSERT_EQ(Engine().open(Fixture(c.file).c_str(), &info), 1) << c.file;
    EXPECT_EQ(info.sampleRate, c.sampleRate);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(info.totalSamples, FramesOf(reference, c.channels));
    EXPECT_EQ(info.totalSeconds, 3);
    EXPECT_EQ(info.layer, 0u);
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitForEnd());
    int position = -1;
    EXPECT_EQ(State(&position), StateEnded);
    EXPECT_EQ(position, 3);
    Engine().close();
    // The device got exactly what the decoder makes, and that is the sound
    // of the reference.
    const std::string decoded = DecodeFile(Fixture(c.file));
    std::string heard = HeardAgainst(decoded, int(c.sampleRate), int(c.channels));
    EXPECT_TRUE(heard == decoded) << "the device got other samples than the decoder made";
    EXPECT_TRUE(SameSound(heard, reference, c.file))
        << "not the samples of " << c.reference << "; largest difference " << LargestDifference(heard, reference);
}

INSTANTIATE_TEST_SUITE_P(Files, CodecEngineTest,
                         ::testing::Values(CodecCase{"sweep.flac", "sweep.ref", 44100, 2},
                                           CodecCase{"sweep.ogg", "sweep-ogg.ref", 44100, 2},
                                           CodecCase{"sweep22.opus", "sweep22-opus.ref", 48000, 1}));

// A device that takes 24 bits (Wine's does) gets the file's own 24-bit
// samples through an extensible wave format.
TEST_F(EngineTest, DeepFlacReachesTheDeviceInItsOwnBits)
{
    REQUIRE_SOUND_FILE();
    const std::string reference = ReadBytes(Fixture("hd24.ref"));
    InfoRecord info;
    ASSERT_EQ(Engine().open(Fixture("hd24.flac").c_str(), &info), 1);
    EXPECT_EQ(info.sampleRate, 96000u);
    EXPECT_EQ(info.totalSeconds, 2);
    ASSERT_NE(Engine().play(), 0);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(State(), StateEnded);
    Engine().close();
    std::string heard = HeardAgainst(reference, 96000, 2, 3);
    EXPECT_EQ(heard.size(), reference.size());
    EXPECT_TRUE(heard == reference) << "not the file's 24-bit samples";
}

} // namespace
