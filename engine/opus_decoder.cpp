// Opus through opusfile, reading the track's file through the engine's
// reads. opusfile leaves out the encoder's pre-skip and what the last
// page's granule position trims, so the length is the source's to the
// sample, at Opus's own 48 kHz; it seeks to the sample and passes over
// damaged pages. Its 16-bit output is left undithered, so that what is
// played is exactly what its decoder makes.
#include "codec_state.h"

#include <opus/opusfile.h>

namespace {

CodecState *StateOf(void *source) { return static_cast<CodecState *>(source); }

int ReadBytes(void *source, unsigned char *out, int bytes)
{
    return bytes > 0 ? int(ReadCodecFile(StateOf(source), out, size_t(bytes))) : 0;
}

int SeekBytes(void *source, opus_int64 offset, int whence)
{
    return SeekCodecFile(StateOf(source), offset, whence) ? 0 : -1;
}

opus_int64 TellBytes(void *source) { return opus_int64(StateOf(source)->cursor); }

const uint32_t OpusRate = 48000;

bool Open(CodecState *codec, CodecFormat *format)
{
    // The track's file is closed by the track, not by opusfile.
    OpusFileCallbacks callbacks = {ReadBytes, SeekBytes, TellBytes, nullptr};
    codec->opus = op_open_callbacks(codec, &callbacks, nullptr, 0, nullptr);
    if (!codec->opus)
        return false;
    ogg_int64_t total = op_pcm_total(codec->opus, -1);
    int channels = op_channel_count(codec->opus, 0);
    if (total <= 0 || channels < 1 || !op_seekable(codec->opus))
        return false;
    op_set_dither_enabled(codec->opus, 0);
    codec->sourceChannels = uint32_t(channels);
    codec->channels = PlayedChannels(codec->sourceChannels);
    format->sampleRate = OpusRate;
    format->channels = codec->channels;
    format->totalSamples = uint64_t(total);
    return true;
}

bool Seek(CodecState *codec, uint64_t sample) { return op_pcm_seek(codec->opus, ogg_int64_t(sample)) == 0; }

bool Decode(CodecState *codec)
{
    opus_int16 samples[5760 * 2]; // 120 ms of stereo, the longest packet
    // A hole in the data (OP_HOLE) is passed over; anything else ends it.
    for (int tries = 0; tries < 64; ++tries) {
        int link = 0;
        int frames = 0;
        if (codec->sourceChannels <= 2) {
            frames = op_read(codec->opus, samples, int(sizeof samples / sizeof samples[0]), &link);
            // A chained file whose links change their channel count is
            // played as the first link is.
            if (frames > 0 && uint32_t(op_channel_count(codec->opus, link)) != codec->sourceChannels)
                return false;
        } else {
            // Mixed down to stereo by opusfile itself.
            frames = op_read_stereo(codec->opus, samples, int(sizeof samples / sizeof samples[0]));
        }
        if (frames == OP_HOLE)
            continue;
        if (frames <= 0)
            return false;
        PutSixteenBitSamples(codec, samples, size_t(frames) * codec->channels);
        return true;
    }
    return false;
}

void Close(CodecState *codec)
{
    if (codec->opus) {
        op_free(codec->opus);
        codec->opus = nullptr;
    }
}

} // namespace

const CodecOperations OpusOperations = {Open, Seek, Decode, Close};
