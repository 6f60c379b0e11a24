#include "acm_decoder.h"

#include <cstdlib>

namespace {

// The largest Layer III frame: 320 kbit/s at 32 kHz, with padding.
const uint32_t LargestFrameBytes = 1441;

void DescribeFormats(const FrameHeader &format, MPEGLAYER3WAVEFORMAT *mp3, WAVEFORMATEX *pcm)
{
    ZeroMemory(mp3, sizeof *mp3);
    mp3->wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3->wfx.nChannels = WORD(format.channels);
    mp3->wfx.nSamplesPerSec = DWORD(format.sampleRate);
    mp3->wfx.nAvgBytesPerSec = DWORD(format.bitrate) * 1000 / 8;
    mp3->wfx.nBlockAlign = 1;
    mp3->wfx.wBitsPerSample = 0;
    mp3->wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3->wID = MPEGLAYER3_ID_MPEG;
    mp3->fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    mp3->nBlockSize = WORD(format.frameBytes - format.padding);
    mp3->nFramesPerBlock = 1;
    mp3->nCodecDelay = 1393;

    ZeroMemory(pcm, sizeof *pcm);
    pcm->wFormatTag = WAVE_FORMAT_PCM;
    pcm->nChannels = WORD(format.channels);
    pcm->nSamplesPerSec = DWORD(format.sampleRate);
    pcm->wBitsPerSample = 16;
    pcm->nBlockAlign = WORD(2 * format.channels);
    pcm->nAvgBytesPerSec = pcm->nSamplesPerSec * pcm->nBlockAlign;
}

} // namespace

bool OpenAcmDecoder(AcmDecoder *decoder, const FrameHeader &format)
{
    ZeroMemory(decoder, sizeof *decoder);
    MPEGLAYER3WAVEFORMAT mp3;
    WAVEFORMATEX pcm;
    DescribeFormats(format, &mp3, &pcm);
    if (acmStreamOpen(&decoder->stream, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, 0) != 0) {
        decoder->stream = nullptr;
        return false;
    }

    // Room for the frames of one conversion, the one the codec held back
    // from the last, and the flush. acmStreamSize is not asked: it assumes
    // 1,152 samples per frame.
    decoder->sourceCapacity = FramesPerConversion * LargestFrameBytes;
    decoder->pcmCapacity = (FramesPerConversion + 2) * uint32_t(format.samplesPerFrame) * pcm.nBlockAlign;
    decoder->source = static_cast<uint8_t *>(std::malloc(decoder->sourceCapacity));
    decoder->pcm = static_cast<uint8_t *>(std::malloc(decoder->pcmCapacity));
    if (decoder->source && decoder->pcm) {
        decoder->header.cbStruct = sizeof decoder->header;
        decoder->header.pbSrc = decoder->source;
        decoder->header.cbSrcLength = decoder->sourceCapacity;
        decoder->header.pbDst = decoder->pcm;
        decoder->header.cbDstLength = decoder->pcmCapacity;
        decoder->prepared = acmStreamPrepareHeader(decoder->stream, &decoder->header, 0) == 0;
    }
    if (!decoder->prepared) {
        CloseAcmDecoder(decoder);
        return false;
    }
    return true;
}

void CloseAcmDecoder(AcmDecoder *decoder)
{
    if (decoder->prepared) {
        // Unpreparing wants the lengths it prepared.
        decoder->header.cbSrcLength = decoder->sourceCapacity;
        decoder->header.cbDstLength = decoder->pcmCapacity;
        acmStreamUnprepareHeader(decoder->stream, &decoder->header, 0);
    }
    if (decoder->stream)
        acmStreamClose(decoder->stream, 0);
    std::free(decoder->source);
    std::free(decoder->pcm);
    ZeroMemory(decoder, sizeof *decoder);
}

uint32_t ConvertFrames(AcmDecoder *decoder, uint32_t bytes, bool start, bool end)
{
    if (!decoder->prepared || bytes > decoder->sourceCapacity)
        return 0;
    decoder->header.cbSrcLength = bytes;
    decoder->header.cbSrcLengthUsed = 0;
    decoder->header.cbDstLengthUsed = 0;
    DWORD flags = 0;
    if (start)
        flags |= ACM_STREAMCONVERTF_START;
    if (end)
        flags |= ACM_STREAMCONVERTF_END;
    if (acmStreamConvert(decoder->stream, &decoder->header, flags) != 0)
        return 0;
    uint32_t used = decoder->header.cbDstLengthUsed;
    return used <= decoder->pcmCapacity ? used : 0;
}

bool CanDecodeMp3()
{
    FrameHeader format;
    const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x64}; // 128 kbit/s, 44.1 kHz, joint stereo
    if (!ParseFrameHeader(header, &format))
        return false;
    MPEGLAYER3WAVEFORMAT mp3;
    WAVEFORMATEX pcm;
    DescribeFormats(format, &mp3, &pcm);
    return acmStreamOpen(nullptr, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_QUERY) == 0;
}
