// The MP3 stream parser: finds the audio frames of a file, reads the
// encoder's information frame, and builds the frame index that length and
// seeking rest on. It reads the file through a small window that it fills
// on demand, so a file on disk is never mapped or held whole. Plain C++
// without the platform's headers, so it also builds natively for
// sanitizers and fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One MPEG audio frame header, decoded.
struct FrameHeader {
    int version;         // 10 = MPEG-1, 20 = MPEG-2, 25 = MPEG-2.5
    int layer;           // always 3 for the frames this parser accepts
    int bitrate;         // kbit/s
    int sampleRate;      // Hz
    int channelMode;     // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    int channels;        // 1 or 2
    int padding;         // 0 or 1
    int frameBytes;      // the whole frame, header included
    int samplesPerFrame; // 1152 for MPEG-1, 576 for MPEG-2 and 2.5
    int sideInfoBytes;   // what follows the header (and its CRC) before the main data
    int crc;             // 1 when a 16-bit CRC follows the header
};

// Decodes the four bytes at `bytes` as a Layer III frame header. Reserved
// values are refused. A free-format header (bitrate index 0) says nothing
// of its length: it is read only with `freeFormatBytes`, the unpadded
// frame length measured for its stream, and refused without.
bool ParseFrameHeader(const uint8_t *bytes, FrameHeader *header, uint32_t freeFormatBytes = 0);

// Free-format frames are at most this long (640 kbit/s at 32 kHz is 2,880
// bytes; the lower rates of MPEG-2 and 2.5 allow twice that).
const uint32_t LargestFreeFormatBytes = 6000;

// Frames of one stream share version, sample rate and channel count.
bool HeadersAgree(const FrameHeader &a, const FrameHeader &b);

// Flags of Mp3Stream::flags.
enum Mp3StreamFlags : uint32_t {
    StreamVariableBitrate = 1,
    StreamXingHeader = 2,
    StreamVbriHeader = 4,
    StreamLameTag = 8,
    StreamId3v2Tag = 16,
    StreamId3v1Tag = 32,
    StreamApeTag = 64,
    StreamDamageSkipped = 128,
};

struct Mp3Stream {
    FrameHeader format;             // the first audio frame's header
    std::vector<uint32_t> frames;   // offset of every audio frame, in order
    uint64_t audioStart;            // first byte of the first frame (information frame included)
    uint64_t audioEnd;              // first byte after the audio (tags at the end excluded)
    uint32_t flags;                 // Mp3StreamFlags
    uint32_t headerFrames;          // frame count of a Xing/Info or VBRI header, 0 when none
    uint32_t encoderDelay;          // samples the encoder put before the sound
    uint32_t encoderPadding;        // samples the encoder put after it
    uint64_t decodedSamples;        // frames × samples per frame
    uint64_t leadSamples;           // decoded samples to drop at the start
    uint64_t totalSamples;          // samples of sound after trimming, per channel
    uint32_t averageBitrate;        // kbit/s over the audio frames
    uint32_t freeFormatBytes;       // unpadded frame length of a free-format stream, 0 otherwise
};

// The decoder's own delay: the samples every Layer III decoder puts before
// the first encoded sample.
const uint32_t DecoderDelaySamples = 529;

// Frames smaller than this do not exist; it bounds the index's size.
const uint32_t SmallestFrameBytes = 24;

// Where the parser reads a file from. A file that gives fewer bytes than
// its size promised (cut short while it is read) ends where its bytes end.
struct ByteSource {
    uint64_t size;
    // Copies up to `bytes` bytes from `offset` into `out`; returns how many.
    size_t (*read)(void *context, uint64_t offset, uint8_t *out, size_t bytes);
    void *context;
    size_t windowBytes;    // bytes asked for at a time; 0 for the default
};

// Parses a whole file. Returns false when it holds no playable Layer III
// stream (no two agreeing frames in a row, or nothing but tags).
bool ParseMp3Source(const ByteSource &source, Mp3Stream *stream);

// The same for a file held in memory. Never reads outside
// [data, data + size).
bool ParseMp3Stream(const uint8_t *data, size_t size, Mp3Stream *stream);

// Sizes of the tags at either end; 0 when there is none.
uint64_t Id3v2TagBytes(const uint8_t *data, size_t size);
uint64_t TrailingTagBytes(const uint8_t *data, size_t size, uint32_t *flags);
