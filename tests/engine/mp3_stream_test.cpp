// The stream parser on streams built byte by byte: every version, bitrate
// and sample rate; tags at both ends; information frames whose values
// cannot be true; damage and resynchronisation.
#include "common/test_support.h"

#include "mp3_stream.h"

#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

// A header: version bits (3 = MPEG-1, 2 = MPEG-2, 0 = MPEG-2.5), bitrate
// index, sample rate index, padding, mode (3 = mono). No CRC.
Bytes Header(int version, int bitrate, int rate, int padding = 0, int mode = 1)
{
    return {0xFF, uint8_t(0xE0 | (version << 3) | (1 << 1) | 1), uint8_t((bitrate << 4) | (rate << 2) | (padding << 1)),
            uint8_t(mode << 6)};
}

// `count` frames with that header and silent bodies.
Bytes Frames(const Bytes &header, int count)
{
    FrameHeader h;
    EXPECT_TRUE(ParseFrameHeader(header.data(), &h));
    Bytes out;
    for (int i = 0; i < count; ++i) {
        out.insert(out.end(), header.begin(), header.end());
        out.resize(out.size() + size_t(h.frameBytes) - 4, 0);
    }
    return out;
}

void Append(Bytes &to, const Bytes &more) { to.insert(to.end(), more.begin(), more.end()); }

bool Parse(const Bytes &bytes, Mp3Stream *stream) { return ParseMp3Stream(bytes.data(), bytes.size(), stream); }

struct HeaderCase {
    int version, bitrate, rate, padding, mode;
    int expectVersion, expectBitrate, expectRate, expectBytes, expectSamples;
};

class EngineFrameHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(EngineFrameHeaderTest, DecodesTheHeader)
{
    const HeaderCase &c = GetParam();
    Bytes bytes = Header(c.version, c.bitrate, c.rate, c.padding, c.mode);
    FrameHeader h;
    ASSERT_TRUE(ParseFrameHeader(bytes.data(), &h));
    EXPECT_EQ(h.version, c.expectVersion);
    EXPECT_EQ(h.bitrate, c.expectBitrate);
    EXPECT_EQ(h.sampleRate, c.expectRate);
    EXPECT_EQ(h.frameBytes, c.expectBytes);
    EXPECT_EQ(h.samplesPerFrame, c.expectSamples);
    EXPECT_EQ(h.channels, c.mode == 3 ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(Headers, EngineFrameHeaderTest,
                         ::testing::Values(HeaderCase{3, 9, 0, 0, 1, 10, 128, 44100, 417, 1152},
                                           HeaderCase{3, 9, 0, 1, 1, 10, 128, 44100, 418, 1152},
                                           HeaderCase{3, 14, 2, 0, 0, 10, 320, 32000, 1440, 1152},
                                           HeaderCase{3, 1, 1, 0, 3, 10, 32, 48000, 96, 1152},
                                           HeaderCase{2, 8, 0, 0, 3, 20, 64, 22050, 208, 576},
                                           HeaderCase{2, 1, 1, 0, 1, 20, 8, 24000, 24, 576},
                                           HeaderCase{2, 14, 2, 1, 1, 20, 160, 16000, 721, 576},
                                           HeaderCase{0, 1, 2, 0, 3, 25, 8, 8000, 72, 576},
                                           HeaderCase{0, 14, 2, 0, 1, 25, 160, 8000, 1440, 576},
                                           HeaderCase{0, 4, 0, 0, 1, 25, 32, 11025, 208, 576}));

TEST(EngineFrameHeader, RefusesWhatIsNotLayerThree)
{
    const Bytes refused[] = {
        {0xFF, 0xFB, 0x00, 0x40},  // free format, its length unknown
        {0xFF, 0xFB, 0xF0, 0x40},  // bitrate index 15
        {0xFF, 0xFB, 0x9C, 0x40},  // reserved sample rate
        {0xFF, 0xEB, 0x90, 0x40},  // reserved version
        {0xFF, 0xFD, 0x90, 0x40},  // Layer II
        {0xFF, 0xFF, 0x90, 0x40},  // Layer I
        {0xFF, 0xF9, 0x90, 0x40},  // layer bits 00
        {0xFF, 0xFB, 0x90, 0x42},  // reserved emphasis
        {0xFE, 0xFB, 0x90, 0x40},  // no sync
    };
    for (const Bytes &b : refused) {
        FrameHeader h;
        EXPECT_FALSE(ParseFrameHeader(b.data(), &h)) << std::hex << int(b[1]) << " " << int(b[2]) << " " << int(b[3]);
    }
}

TEST(EngineMp3Stream, EveryVersionBitrateAndRateIsIndexed)
{
    for (int version : {3, 2, 0})
        for (int bitrate = 1; bitrate <= 14; ++bitrate)
            for (int rate = 0; rate <= 2; ++rate)
                for (int mode : {1, 3}) {
                    Bytes bytes = Frames(Header(version, bitrate, rate, 0, mode), 6);
                    Mp3Stream stream;
                    ASSERT_TRUE(Parse(bytes, &stream)) << version << " " << bitrate << " " << rate;
                    EXPECT_EQ(stream.frames.size(), 6u);
                    uint64_t perFrame = version == 3 ? 1152 : 576;
                    EXPECT_EQ(stream.totalSamples, 6 * perFrame - DecoderDelaySamples);
                    EXPECT_EQ(stream.flags, 0u);
                }
}

TEST(EngineMp3Stream, BitrateChangesMakeItVariable)
{
    Bytes bytes = Frames(Header(3, 9, 0), 3);
    Append(bytes, Frames(Header(3, 14, 0), 2));
    Append(bytes, Frames(Header(3, 1, 0, 0, 0), 2)); // stereo instead of joint stereo: same stream
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.frames.size(), 7u);
    EXPECT_TRUE(stream.flags & StreamVariableBitrate);
}

TEST(EngineMp3Stream, TagsAtBothEndsAreSkipped)
{
    Bytes bytes = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 20};
    for (int i = 0; i < 5; ++i)
        Append(bytes, Header(3, 9, 0)); // sync patterns inside the tag
    Append(bytes, {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 20});
    size_t audio = bytes.size();
    Append(bytes, Frames(Header(3, 9, 0), 4));
    Bytes id3v1(128, 0);
    std::memcpy(id3v1.data(), "TAG", 3);
    id3v1[50] = 0xFF, id3v1[51] = 0xFB, id3v1[52] = 0x90;
    Append(bytes, id3v1);
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.audioStart, audio);
    EXPECT_EQ(stream.frames.size(), 4u);
    EXPECT_EQ(stream.audioEnd, bytes.size() - 128);
    EXPECT_EQ(stream.flags, uint32_t(StreamId3v2Tag | StreamId3v1Tag));
}

TEST(EngineMp3Stream, TagLargerThanTheFileIsNotBelieved)
{
    Bytes bytes = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
    Append(bytes, Frames(Header(3, 9, 0), 3));
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.audioStart, 10u);
    EXPECT_EQ(stream.frames.size(), 3u);
}

TEST(EngineMp3Stream, FirstFrameNeedsAnAgreeingSuccessor)
{
    Bytes bytes(300, 0x11);
    Append(bytes, Header(3, 9, 0)); // a lone header in junk
    bytes.resize(bytes.size() + 100, 0x22);
    size_t audio = bytes.size();
    Append(bytes, Frames(Header(2, 8, 0, 0, 3), 3));
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.audioStart, audio);
    EXPECT_EQ(stream.format.version, 20);
    EXPECT_EQ(stream.frames.size(), 3u);
}

TEST(EngineMp3Stream, DamageIsPassedOver)
{
    Bytes bytes = Frames(Header(3, 9, 0), 5);
    Bytes junk(3000);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = uint8_t(i * 7919 + 13);
    Append(bytes, junk);
    Append(bytes, Frames(Header(3, 9, 0), 5));
    Append(bytes, {0xFF, 0xFB});  // a stray start of a header at the end
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.frames.size(), 10u);
    EXPECT_EQ(stream.frames[5], 5 * 417 + 3000u);
    EXPECT_TRUE(stream.flags & StreamDamageSkipped);
}

// Free-format frames of `unpadded` bytes, every `paddedEvery`th one a byte
// longer, as an encoder pads them to keep its average.
Bytes FreeFrames(int version, int rate, int mode, int unpadded, int count, int paddedEvery)
{
    Bytes out;
    for (int i = 0; i < count; ++i) {
        int padding = paddedEvery && i % paddedEvery == paddedEvery - 1 ? 1 : 0;
        Append(out, Header(version, 0, rate, padding, mode));
        out.resize(out.size() + size_t(unpadded + padding) - 4, 0);
    }
    return out;
}

TEST(EngineMp3Stream, FreeFormatLengthIsMeasuredBetweenHeaders)
{
    struct FreeCase {
        int version, rate, mode, unpadded, paddedEvery, expectBitrate;
    };
    const FreeCase cases[] = {
        {3, 0, 1, 653, 3, 200},  // 200 kbit/s at 44.1 kHz, as LAME writes it
        {3, 2, 0, 2880, 0, 640}, // the longest: 640 kbit/s at 32 kHz
        {2, 0, 3, 100, 2, 31},   // MPEG-2 mono
        {0, 2, 1, 450, 0, 50},   // MPEG-2.5 at 8 kHz
    };
    for (const FreeCase &c : cases) {
        SCOPED_TRACE(c.unpadded);
        Bytes bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
        bytes.resize(30, 0);
        Append(bytes, FreeFrames(c.version, c.rate, c.mode, c.unpadded, 12, c.paddedEvery));
        Mp3Stream stream;
        ASSERT_TRUE(Parse(bytes, &stream));
        EXPECT_EQ(stream.freeFormatBytes, uint32_t(c.unpadded));
        ASSERT_EQ(stream.frames.size(), 12u);
        EXPECT_EQ(stream.frames[0], 30u);
        EXPECT_EQ(stream.audioEnd, bytes.size());
        EXPECT_EQ(stream.format.bitrate, c.expectBitrate);
        EXPECT_FALSE(stream.flags & (StreamVariableBitrate | StreamDamageSkipped));
    }

    // Damage in the middle is passed over at the measured length.
    Bytes bytes = FreeFrames(3, 0, 1, 653, 6, 3);
    Bytes junk(2000);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = uint8_t(i * 7919 + 13);
    Append(bytes, junk);
    Append(bytes, FreeFrames(3, 0, 1, 653, 6, 3));
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.frames.size(), 12u);
    EXPECT_TRUE(stream.flags & StreamDamageSkipped);

    // One free-format header alone has no length to find.
    Bytes lone = FreeFrames(3, 0, 1, 653, 1, 0);
    EXPECT_FALSE(Parse(lone, &stream));
}

TEST(EngineMp3Stream, NothingPlayable)
{
    const Bytes cases[] = {
        {},
        {0xFF},
        {0xFF, 0xFB, 0x90},
        {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0},
        Bytes(5000, 0xFF),
        Header(3, 9, 0), // a header without its frame
    };
    for (const Bytes &bytes : cases) {
        Mp3Stream stream;
        EXPECT_FALSE(Parse(bytes, &stream)) << bytes.size();
        EXPECT_TRUE(stream.frames.empty());
    }
}

// An Info frame as LAME writes it: frame count, then the LAME tag with
// the delay and padding.
Bytes InfoFrame(uint32_t frames, int delay, int padding)
{
    Bytes frame = Frames(Header(3, 9, 0), 1);
    size_t at = 4 + 32;
    std::memcpy(&frame[at], "Info", 4);
    frame[at + 7] = 1; // frame count present
    frame[at + 8] = uint8_t(frames >> 24), frame[at + 9] = uint8_t(frames >> 16);
    frame[at + 10] = uint8_t(frames >> 8), frame[at + 11] = uint8_t(frames);
    size_t lame = at + 12;
    std::memcpy(&frame[lame], "LAME3.100", 9);
    frame[lame + 21] = uint8_t(delay >> 4);
    frame[lame + 22] = uint8_t(((delay & 15) << 4) | (padding >> 8));
    frame[lame + 23] = uint8_t(padding);
    return frame;
}

TEST(EngineMp3Stream, LameTagTrimsDelayAndPadding)
{
    Bytes bytes = InfoFrame(10, 576, 1000);
    Append(bytes, Frames(Header(3, 9, 0), 10));
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.frames.size(), 10u); // the Info frame holds no sound
    EXPECT_EQ(stream.headerFrames, 10u);
    EXPECT_EQ(stream.leadSamples, 576u + DecoderDelaySamples);
    EXPECT_EQ(stream.totalSamples, 10u * 1152 - 576 - 1000);
    EXPECT_EQ(stream.flags, uint32_t(StreamXingHeader | StreamLameTag));
}

TEST(EngineMp3Stream, HeaderValuesThatCannotBeTrueAreIgnored)
{
    struct Case {
        uint32_t frames;
        int delay, padding;
        uint32_t expectHeaderFrames;
        uint64_t expectTotal;
    } cases[] = {
        {0, 576, 1000, 0, 10 * 1152 - 576 - 529},          // no count: the padding is not trusted
        {0x7FFFFFFF, 576, 1000, 0, 10 * 1152 - 576 - 529}, // more frames than the file holds
        {20, 576, 1000, 20, 10 * 1152 - 576 - 529},        // a cut file: no padding at the end
        {10, 4095, 4095, 10, 10 * 1152 - 4095 - 4095},
        {3, 4095, 4095, 3, 10 * 1152 - 4095 - 529},
    };
    for (const Case &c : cases) {
        Bytes bytes = InfoFrame(c.frames, c.delay, c.padding);
        Append(bytes, Frames(Header(3, 9, 0), 10));
        Mp3Stream stream;
        ASSERT_TRUE(Parse(bytes, &stream));
        EXPECT_EQ(stream.headerFrames, c.expectHeaderFrames) << c.frames;
        EXPECT_EQ(stream.totalSamples, c.expectTotal) << c.frames;
    }
    // A delay and padding longer than the sound itself.
    Bytes bytes = InfoFrame(1, 4095, 4095);
    Append(bytes, Frames(Header(3, 9, 0), 1));
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.encoderDelay, 0u);
    EXPECT_EQ(stream.totalSamples, 1152u - DecoderDelaySamples);
}

TEST(EngineMp3Stream, VbriHeaderIsReadAndHoldsNoSound)
{
    Bytes bytes = Frames(Header(3, 9, 0), 1);
    std::memcpy(&bytes[36], "VBRI", 4);
    bytes[36 + 17] = 7; // frames
    Append(bytes, Frames(Header(3, 9, 0), 7));
    Mp3Stream stream;
    ASSERT_TRUE(Parse(bytes, &stream));
    EXPECT_EQ(stream.frames.size(), 7u);
    EXPECT_EQ(stream.headerFrames, 7u);
    EXPECT_TRUE(stream.flags & StreamVbriHeader);
}

} // namespace
