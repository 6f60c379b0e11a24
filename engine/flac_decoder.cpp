// FLAC through libFLAC's stream decoder, reading the track's file through
// the engine's reads. libFLAC passes over an ID3v2 tag in front of the
// stream, fills a frame whose check fails with silence of its length (so
// the length holds), and seeks to the sample.
#include "codec_state.h"

#include <FLAC/stream_decoder.h>

namespace {

CodecState *StateOf(void *client) { return static_cast<CodecState *>(client); }

FLAC__StreamDecoderReadStatus ReadBytes(const FLAC__StreamDecoder *, FLAC__byte buffer[], size_t *bytes, void *client)
{
    *bytes = ReadCodecFile(StateOf(client), buffer, *bytes);
    return *bytes ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
}

FLAC__StreamDecoderSeekStatus SeekBytes(const FLAC__StreamDecoder *, FLAC__uint64 offset, void *client)
{
    return SeekCodecFile(StateOf(client), int64_t(offset), SEEK_SET) ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
                                                                       : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
}

FLAC__StreamDecoderTellStatus TellBytes(const FLAC__StreamDecoder *, FLAC__uint64 *offset, void *client)
{
    *offset = StateOf(client)->cursor;
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus FileLength(const FLAC__StreamDecoder *, FLAC__uint64 *length, void *client)
{
    *length = StateOf(client)->size;
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool AtEnd(const FLAC__StreamDecoder *, void *client)
{
    const CodecState *codec = StateOf(client);
    return codec->cursor >= codec->size;
}

FLAC__StreamDecoderWriteStatus TakeFrame(const FLAC__StreamDecoder *, const FLAC__Frame *frame,
                                         const FLAC__int32 *const buffer[], void *client)
{
    CodecState *codec = StateOf(client);
    const uint32_t frames = frame->header.blocksize;
    // A stream whose frames change their channel count or depth is not
    // one that the output, opened for the first, can play on.
    if (frame->header.channels != codec->sourceChannels || frame->header.bits_per_sample != codec->bits) {
        codec->flacFailed = true;
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    if (codec->flacCounting)
        codec->flacCounted += frames;
    else
        PutIntegerFrames(codec, buffer, frames);
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void TakeMetadata(const FLAC__StreamDecoder *, const FLAC__StreamMetadata *metadata, void *client)
{
    CodecState *codec = StateOf(client);
    // The first stream information block is the stream's; a decoder that
    // starts again after counting sees it once more.
    if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO || codec->sourceChannels != 0)
        return;
    const FLAC__StreamMetadata_StreamInfo &info = metadata->data.stream_info;
    codec->sampleRate = info.sample_rate;
    codec->sourceChannels = info.channels;
    codec->bits = info.bits_per_sample;
    codec->channels = PlayedChannels(info.channels);
    codec->flacCounted = info.total_samples;
}

// Damaged frames are passed over: libFLAC finds the next one itself.
void NoteError(const FLAC__StreamDecoder *, FLAC__StreamDecoderErrorStatus, void *) {}

bool Open(CodecState *codec, CodecFormat *format)
{
    codec->flac = FLAC__stream_decoder_new();
    if (!codec->flac)
        return false;
    FLAC__stream_decoder_set_md5_checking(codec->flac, false);
    if (FLAC__stream_decoder_init_stream(codec->flac, ReadBytes, SeekBytes, TellBytes, FileLength, AtEnd, TakeFrame,
                                         TakeMetadata, NoteError,
                                         codec) != FLAC__STREAM_DECODER_INIT_STATUS_OK)
        return false;
    if (!FLAC__stream_decoder_process_until_end_of_metadata(codec->flac) || codec->sourceChannels == 0)
        return false;
    const uint32_t rate = codec->sampleRate;
    if (rate == 0 || codec->bits < 4 || codec->bits > 32)
        return false;
    // A stream that does not say its length (written as it was encoded)
    // is counted through once; the decoder then starts again.
    if (codec->flacCounted == 0) {
        codec->flacCounting = true;
        FLAC__stream_decoder_process_until_end_of_stream(codec->flac);
        codec->flacCounting = false;
        if (codec->flacFailed || codec->flacCounted == 0 || !FLAC__stream_decoder_reset(codec->flac) ||
            !FLAC__stream_decoder_process_until_end_of_metadata(codec->flac))
            return false;
    }
    format->sampleRate = rate;
    format->channels = codec->channels;
    format->totalSamples = codec->flacCounted;
    return true;
}

bool Seek(CodecState *codec, uint64_t sample)
{
    if (sample >= codec->flacCounted)
        return true; // nothing is read past the end anyway
    if (FLAC__stream_decoder_seek_absolute(codec->flac, sample))
        return true;
    // A failed seek leaves the decoder to be flushed before any other use.
    FLAC__stream_decoder_flush(codec->flac);
    return false;
}

bool Decode(CodecState *codec)
{
    if (codec->flacFailed || !FLAC__stream_decoder_process_single(codec->flac))
        return false;
    FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(codec->flac);
    return !codec->pending.empty() || state != FLAC__STREAM_DECODER_END_OF_STREAM;
}

void Close(CodecState *codec)
{
    if (codec->flac) {
        FLAC__stream_decoder_finish(codec->flac);
        FLAC__stream_decoder_delete(codec->flac);
        codec->flac = nullptr;
    }
}

} // namespace

const CodecOperations FlacOperations = {Open, Seek, Decode, Close};
