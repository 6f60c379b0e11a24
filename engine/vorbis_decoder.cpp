// Ogg Vorbis through vorbisfile, reading the track's file through the
// engine's reads. vorbisfile knows the exact length from the granule
// positions, seeks to the sample, and passes over damaged pages.
#include "codec_state.h"

#include <vorbis/vorbisfile.h>

#include <new>

namespace {

CodecState *StateOf(void *source) { return static_cast<CodecState *>(source); }

size_t ReadBytes(void *out, size_t size, size_t count, void *source)
{
    if (size == 0)
        return 0;
    return ReadCodecFile(StateOf(source), out, size * count) / size;
}

int SeekBytes(void *source, ogg_int64_t offset, int whence)
{
    return SeekCodecFile(StateOf(source), offset, whence) ? 0 : -1;
}

long TellBytes(void *source) { return long(StateOf(source)->cursor); }

// One link of a chained file that changes its rate or channel count is
// not one that the output, opened for the first, can play on.
bool SameFormatAs(CodecState *codec, int link, uint32_t rate)
{
    const vorbis_info *info = ov_info(codec->vorbis, link);
    return info && uint32_t(info->channels) == codec->sourceChannels && uint32_t(info->rate) == rate;
}

uint32_t FirstRate(CodecState *codec)
{
    const vorbis_info *info = ov_info(codec->vorbis, 0);
    return info ? uint32_t(info->rate) : 0;
}

bool Open(CodecState *codec, CodecFormat *format)
{
    codec->vorbis = new (std::nothrow) OggVorbis_File();
    if (!codec->vorbis)
        return false;
    // The track's file is closed by the track, not by vorbisfile.
    ov_callbacks callbacks = {ReadBytes, SeekBytes, nullptr, TellBytes};
    if (ov_open_callbacks(codec, codec->vorbis, nullptr, 0, callbacks) != 0) {
        delete codec->vorbis;
        codec->vorbis = nullptr;
        return false;
    }
    const vorbis_info *info = ov_info(codec->vorbis, 0);
    ogg_int64_t total = ov_pcm_total(codec->vorbis, -1);
    if (!info || info->channels < 1 || info->rate < 1 || total <= 0 || !ov_seekable(codec->vorbis))
        return false;
    codec->sourceChannels = uint32_t(info->channels);
    codec->channels = PlayedChannels(codec->sourceChannels);
    format->sampleRate = uint32_t(info->rate);
    format->channels = codec->channels;
    format->totalSamples = uint64_t(total);
    return true;
}

bool Seek(CodecState *codec, uint64_t sample)
{
    return ov_pcm_seek(codec->vorbis, ogg_int64_t(sample)) == 0;
}

bool Decode(CodecState *codec)
{
    const uint32_t rate = FirstRate(codec);
    // A hole in the data (OV_HOLE) is passed over; anything else ends it.
    for (int tries = 0; tries < 64; ++tries) {
        int link = 0;
        if (codec->sourceChannels <= 2) {
            // vorbisfile's own 16-bit output, as its command-line decoder writes it.
            char bytes[4096];
            long got = ov_read(codec->vorbis, bytes, sizeof bytes, 0, 2, 1, &link);
            if (got == OV_HOLE)
                continue;
            if (got <= 0 || !SameFormatAs(codec, link, rate))
                return false;
            PutSixteenBitSamples(codec, reinterpret_cast<const int16_t *>(bytes), size_t(got) / 2);
            return true;
        }
        float **planes = nullptr;
        long frames = ov_read_float(codec->vorbis, &planes, 1024, &link);
        if (frames == OV_HOLE)
            continue;
        if (frames <= 0 || !SameFormatAs(codec, link, rate))
            return false;
        PutFloatFramesAsStereo(codec, planes, uint32_t(frames));
        return true;
    }
    return false;
}

void Close(CodecState *codec)
{
    if (codec->vorbis) {
        ov_clear(codec->vorbis);
        delete codec->vorbis;
        codec->vorbis = nullptr;
    }
}

} // namespace

const CodecOperations VorbisOperations = {Open, Seek, Decode, Close};
