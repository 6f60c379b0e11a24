#include "wave_output.h"

#include <mmreg.h>

#include <cstdlib>

namespace {

bool Busy(const WAVEHDR &header)
{
    return (header.dwFlags & WHDR_INQUEUE) && !(header.dwFlags & WHDR_DONE);
}

// KSDATAFORMAT_SUBTYPE_PCM: integer PCM in an extensible wave format.
const GUID IntegerPcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// 16 bits in the plain wave format; 24 bits, which the plain format does
// not carry past two channels and many drivers refuse in it, in the
// extensible one, as mono (centre) or stereo (front left and right).
void DescribeFormat(WAVEFORMATEXTENSIBLE *format, int sampleRate, int channels, int bits)
{
    ZeroMemory(format, sizeof *format);
    WAVEFORMATEX &wave = format->Format;
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = WORD(channels);
    wave.nSamplesPerSec = DWORD(sampleRate);
    wave.wBitsPerSample = WORD(bits);
    wave.nBlockAlign = WORD(bits / 8 * channels);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    if (bits > 16) {
        wave.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
        wave.cbSize = sizeof *format - sizeof wave;
        format->Samples.wValidBitsPerSample = WORD(bits);
        format->dwChannelMask = channels == 1 ? SPEAKER_FRONT_CENTER : SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
        format->SubFormat = IntegerPcm;
    }
}

} // namespace

bool WaveOutputTakes(int sampleRate, int channels, int bits)
{
    WAVEFORMATEXTENSIBLE format;
    DescribeFormat(&format, sampleRate, channels, bits);
    return waveOutOpen(nullptr, WAVE_MAPPER, &format.Format, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

bool OpenWaveOutput(WaveOutput *output, int sampleRate, int channels, int bits, HANDLE bufferDone)
{
    ZeroMemory(output, sizeof *output);
    WAVEFORMATEXTENSIBLE described;
    DescribeFormat(&described, sampleRate, channels, bits);
    WAVEFORMATEX &format = described.Format;

    output->blockAlign = format.nBlockAlign;
    output->bufferBytes = format.nAvgBytesPerSec / (1000 / BufferMilliseconds);
    output->bufferBytes -= output->bufferBytes % output->blockAlign;
    output->bufferDone = bufferDone;
    output->memory = static_cast<uint8_t *>(std::malloc(size_t(output->bufferBytes) * OutputBuffers));
    if (!output->bufferDone || !output->memory ||
        waveOutOpen(&output->device, WAVE_MAPPER, &format, DWORD_PTR(output->bufferDone), 0, CALLBACK_EVENT) !=
            MMSYSERR_NOERROR) {
        output->device = nullptr;
        CloseWaveOutput(output);
        return false;
    }
    for (int i = 0; i < OutputBuffers; ++i) {
        WAVEHDR &header = output->headers[i];
        header.lpData = reinterpret_cast<LPSTR>(output->memory + size_t(i) * output->bufferBytes);
        header.dwBufferLength = output->bufferBytes;
        if (waveOutPrepareHeader(output->device, &header, sizeof header) != MMSYSERR_NOERROR) {
            header.dwFlags = 0;
            CloseWaveOutput(output);
            return false;
        }
    }
    // Paused before anything is queued: the first buffer written does not
    // start a device that has nothing more behind it.
    if (waveOutPause(output->device) != MMSYSERR_NOERROR) {
        CloseWaveOutput(output);
        return false;
    }
    return true;
}

void CloseWaveOutput(WaveOutput *output)
{
    if (output->device) {
        waveOutReset(output->device);
        // The device hands buffers back on its own thread: wait, bounded,
        // until it holds none before they are unprepared and freed.
        for (int tries = 0; tries < 200 && !AllOutputBuffersFree(output); ++tries)
            WaitForSingleObject(output->bufferDone, 10);
        for (int i = 0; i < OutputBuffers; ++i) {
            WAVEHDR &header = output->headers[i];
            if (header.dwFlags & WHDR_PREPARED) {
                header.dwBufferLength = output->bufferBytes;
                waveOutUnprepareHeader(output->device, &header, sizeof header);
            }
        }
        waveOutClose(output->device);
    }
    std::free(output->memory);
    ZeroMemory(output, sizeof *output);
}

bool StartWaveOutput(WaveOutput *output)
{
    if (!output->started)
        output->started = waveOutRestart(output->device) == MMSYSERR_NOERROR;
    return output->started;
}

void PauseWaveOutput(WaveOutput *output)
{
    if (output->started)
        waveOutPause(output->device);
    output->started = false;
}

int FreeOutputBuffer(const WaveOutput *output)
{
    for (int i = 0; i < OutputBuffers; ++i)
        if (!Busy(output->headers[i]))
            return i;
    return -1;
}

bool AllOutputBuffersFree(const WaveOutput *output)
{
    for (int i = 0; i < OutputBuffers; ++i)
        if (Busy(output->headers[i]))
            return false;
    return true;
}

bool WriteOutputBuffer(WaveOutput *output, int index, uint32_t bytes)
{
    WAVEHDR &header = output->headers[index];
    header.dwBufferLength = bytes;
    header.dwFlags &= ~WHDR_DONE;
    if (waveOutWrite(output->device, &header, sizeof header) != MMSYSERR_NOERROR) {
        header.dwFlags |= WHDR_DONE;
        return false;
    }
    return true;
}

uint64_t HeardBytes(WaveOutput *output)
{
    if (!output->device)
        return 0;
    MMTIME time;
    ZeroMemory(&time, sizeof time);
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(output->device, &time, sizeof time) != MMSYSERR_NOERROR)
        return output->playedBytes;
    uint32_t now;
    if (time.wType == TIME_BYTES)
        now = time.u.cb;
    else if (time.wType == TIME_SAMPLES)
        now = time.u.sample * output->blockAlign;
    else
        return output->playedBytes;
    // The device's count is 32-bit and wraps: add what moved since the
    // last reading.
    output->playedBytes += uint32_t(now - output->lastPosition);
    output->lastPosition = now;
    return output->playedBytes;
}
