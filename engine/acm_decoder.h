// Decoding through the platform's own MPEG Layer-3 codec (ACM). The codec
// gets only whole frames that the stream parser has found and checked.
#pragma once

#include "mp3_stream.h"

#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

// Frames handed to the codec per conversion.
const uint32_t FramesPerConversion = 8;

struct AcmDecoder {
    HACMSTREAM stream;
    ACMSTREAMHEADER header;
    uint8_t *source;         // whole frames, copied in by the caller
    uint32_t sourceCapacity;
    uint8_t *pcm;            // what one conversion produced
    uint32_t pcmCapacity;
    bool prepared;
};

// Opens the codec for the stream's format (16-bit PCM out, same rate and
// channels). Returns false and leaves nothing open when the platform
// cannot decode it.
bool OpenAcmDecoder(AcmDecoder *decoder, const FrameHeader &format);
void CloseAcmDecoder(AcmDecoder *decoder);

// Converts the first `bytes` bytes of decoder->source. `start` begins a
// new stream (after a seek: no bits are borrowed from earlier frames);
// `end` flushes what the codec holds back. Returns the PCM bytes now in
// decoder->pcm.
uint32_t ConvertFrames(AcmDecoder *decoder, uint32_t bytes, bool start, bool end);

// Whether this platform can turn MPEG Layer-3 into PCM at all.
bool CanDecodeMp3();
