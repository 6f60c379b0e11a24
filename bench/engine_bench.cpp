// Measures, side by side in one run on the same file, the CPU time that
// VBMP3.dll takes to open a file and play it to its end, against the
// cheapest path to the same sound: the decoder converting the whole file in
// one call (Windows' ACM codec for an MP3, libFLAC for a FLAC), plus MCI's
// wave player playing the decoded WAV. Then the wall time of vbmp3_open on
// a long VBR file.
//
//   engine_bench.exe ENGINE.dll SHORT.mp3 LONG.mp3 SCRATCH.wav [ROUNDS [SHORT.flac]]
#include "mp3_stream.h"
#include "vbmp3.h"

#include <FLAC/stream_decoder.h>
#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME &t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double WallSeconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

std::vector<uint8_t> ReadFileBytes(const char *path)
{
    std::vector<uint8_t> bytes;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}

// The whole file through the codec in one conversion; returns the PCM.
std::string ConvertInOneCall(const std::vector<uint8_t> &file, const Mp3Stream &stream)
{
    const FrameHeader &f = stream.format;
    MPEGLAYER3WAVEFORMAT mp3 = {};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = WORD(f.channels);
    mp3.wfx.nSamplesPerSec = DWORD(f.sampleRate);
    mp3.wfx.nAvgBytesPerSec = DWORD(f.bitrate) * 125;
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    mp3.nBlockSize = WORD(f.frameBytes - f.padding);
    mp3.nFramesPerBlock = 1;
    mp3.nCodecDelay = 1393;
    WAVEFORMATEX pcm = {};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = WORD(f.channels);
    pcm.nSamplesPerSec = DWORD(f.sampleRate);
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = WORD(2 * f.channels);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;

    HACMSTREAM has;
    if (acmStreamOpen(&has, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, 0) != 0)
        return std::string();
    uint64_t first = stream.frames.front();
    std::vector<uint8_t> source(file.begin() + long(first), file.begin() + long(stream.audioEnd));
    std::string out(size_t(stream.decodedSamples + 2 * 1152) * pcm.nBlockAlign, '\0');
    ACMSTREAMHEADER header = {};
    header.cbStruct = sizeof header;
    header.pbSrc = source.data();
    header.cbSrcLength = DWORD(source.size());
    header.pbDst = reinterpret_cast<LPBYTE>(&out[0]);
    header.cbDstLength = DWORD(out.size());
    acmStreamPrepareHeader(has, &header, 0);
    acmStreamConvert(has, &header, ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END);
    out.resize(header.cbDstLengthUsed);
    acmStreamUnprepareHeader(has, &header, 0);
    acmStreamClose(has, 0);
    return out;
}

// The whole FLAC file through libFLAC in one call; returns 16-bit PCM.
struct FlacPcm {
    std::string pcm;
    int rate = 0;
    int channels = 0;
};

FLAC__StreamDecoderWriteStatus TakeFlacFrame(const FLAC__StreamDecoder *, const FLAC__Frame *frame,
                                             const FLAC__int32 *const buffer[], void *client)
{
    FlacPcm &out = *static_cast<FlacPcm *>(client);
    const unsigned channels = frame->header.channels, bits = frame->header.bits_per_sample;
    out.rate = int(frame->header.sample_rate);
    out.channels = int(channels);
    size_t at = out.pcm.size();
    out.pcm.resize(at + size_t(frame->header.blocksize) * channels * 2);
    int16_t *samples = reinterpret_cast<int16_t *>(&out.pcm[at]);
    for (unsigned i = 0; i < frame->header.blocksize; ++i)
        for (unsigned c = 0; c < channels; ++c)
            *samples++ = int16_t(bits >= 16 ? buffer[c][i] >> (bits - 16) : buffer[c][i] * (1 << (16 - bits)));
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void IgnoreFlacError(const FLAC__StreamDecoder *, FLAC__StreamDecoderErrorStatus, void *) {}

FlacPcm DecodeFlacInOneCall(const char *path)
{
    FlacPcm out;
    FLAC__StreamDecoder *decoder = FLAC__stream_decoder_new();
    if (FLAC__stream_decoder_init_file(decoder, path, TakeFlacFrame, nullptr, IgnoreFlacError, &out) ==
        FLAC__STREAM_DECODER_INIT_STATUS_OK)
        FLAC__stream_decoder_process_until_end_of_stream(decoder);
    FLAC__stream_decoder_delete(decoder);
    return out;
}

void WriteWav(const char *path, const std::string &pcm, int sampleRate, int channelCount)
{
    FILE *file = std::fopen(path, "wb");
    uint32_t dataBytes = uint32_t(pcm.size()), riff = 36 + dataBytes;
    uint16_t tag = 1, channels = uint16_t(channelCount), align = uint16_t(2 * channelCount), bits = 16;
    uint32_t rate = uint32_t(sampleRate), bytesPerSecond = rate * align, fmtBytes = 16;
    std::fwrite("RIFF", 1, 4, file);
    std::fwrite(&riff, 4, 1, file);
    std::fwrite("WAVEfmt ", 1, 8, file);
    std::fwrite(&fmtBytes, 4, 1, file);
    std::fwrite(&tag, 2, 1, file);
    std::fwrite(&channels, 2, 1, file);
    std::fwrite(&rate, 4, 1, file);
    std::fwrite(&bytesPerSecond, 4, 1, file);
    std::fwrite(&align, 2, 1, file);
    std::fwrite(&bits, 2, 1, file);
    std::fwrite("data", 1, 4, file);
    std::fwrite(&dataBytes, 4, 1, file);
    std::fwrite(pcm.data(), 1, pcm.size(), file);
    std::fclose(file);
}

struct DecodedFile {
    std::string pcm;
    int sampleRate;
    int channels;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Lowest(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }

double Highest(const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); }

// Interleaved rounds, each the floor and then the engine, so that both meet
// the same machine; prints medians with the lowest and highest.
void CompareWithFloor(const Vbmp3Entries &engine, const char *path, const char *scratchWav, int rounds,
                      const std::function<DecodedFile()> &decodeWhole)
{
    std::vector<double> codecRuns, waveRuns, floorRuns, engineRuns, ratios;
    InfoRecord info;
    for (int round = 0; round < rounds; ++round) {
        // The floor: one conversion, then MCI's wave player.
        double cpu = ProcessCpuSeconds();
        DecodedFile decoded = decodeWhole();
        codecRuns.push_back(ProcessCpuSeconds() - cpu);
        WriteWav(scratchWav, decoded.pcm, decoded.sampleRate, decoded.channels);
        std::string openWav = std::string("open \"") + scratchWav + "\" type waveaudio alias benchwav wait";
        cpu = ProcessCpuSeconds();
        double wall = WallSeconds();
        MCIERROR opened = mciSendStringA(openWav.c_str(), nullptr, 0, nullptr);
        MCIERROR played = mciSendStringA("play benchwav wait", nullptr, 0, nullptr);
        mciSendStringA("close benchwav wait", nullptr, 0, nullptr);
        waveRuns.push_back(ProcessCpuSeconds() - cpu);
        std::printf("round %d floor: decoder %.3f s CPU (%.1f s of PCM), MCI wave playback %.3f s CPU "
                    "(%.1f s wall, open %lu, play %lu)\n",
                    round, codecRuns.back(),
                    decoded.channels ? double(decoded.pcm.size()) / (2.0 * decoded.channels * decoded.sampleRate)
                                     : 0.0,
                    waveRuns.back(), WallSeconds() - wall, opened, played);

        // The engine: open, play to the end, close.
        cpu = ProcessCpuSeconds();
        wall = WallSeconds();
        int openResult = engine.open(path, &info);
        int playResult = engine.play();
        int position = 0;
        // Asked as often as the program's timer asks.
        while (engine.getState(&position) == 1)
            Sleep(300);
        engine.close();
        engineRuns.push_back(ProcessCpuSeconds() - cpu);
        floorRuns.push_back(codecRuns.back() + waveRuns.back());
        ratios.push_back(engineRuns.back() / floorRuns.back());
        std::printf("round %d engine: open+play to the end %.3f s CPU (%.1f s wall, open %d, play %d, "
                    "length %d s)\n",
                    round, engineRuns.back(), WallSeconds() - wall, openResult, playResult, info.totalSeconds);
    }
    std::printf("over %d rounds, median (lowest-highest):\n", rounds);
    std::printf("  floor  %.3f s (%.3f-%.3f): decoder %.3f + wave output %.3f\n", Median(floorRuns),
                Lowest(floorRuns), Highest(floorRuns), Median(codecRuns), Median(waveRuns));
    std::printf("  engine %.3f s (%.3f-%.3f)\n", Median(engineRuns), Lowest(engineRuns), Highest(engineRuns));
    std::printf("  engine / floor: %.2f x by medians; per round %.2f x (%.2f-%.2f)\n",
                Median(engineRuns) / Median(floorRuns), Median(ratios), Lowest(ratios), Highest(ratios));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: engine_bench ENGINE.dll SHORT.mp3 LONG.mp3 SCRATCH.wav [ROUNDS [SHORT.flac]]\n");
        return 2;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    Vbmp3Entries engine;
    if (!BindVbmp3Entries(engine, [&](const char *name) { return GetProcAddress(module, name); })) {
        std::fprintf(stderr, "%s lacks an entry point\n", argv[1]);
        return 1;
    }
    if (engine.init() != 1) {
        std::fprintf(stderr, "the engine is not ready\n");
        return 1;
    }

    std::vector<uint8_t> file = ReadFileBytes(argv[2]);
    Mp3Stream stream;
    if (!ParseMp3Stream(file.data(), file.size(), &stream)) {
        std::fprintf(stderr, "%s is not an MP3 file\n", argv[2]);
        return 1;
    }
    double seconds = double(stream.totalSamples) / stream.format.sampleRate;
    std::printf("file: %s, %.1f s, %u kbit/s\n", argv[2], seconds, stream.averageBitrate);

    const int Rounds = argc > 5 ? std::max(5, std::atoi(argv[5])) : 7;
    CompareWithFloor(engine, argv[2], argv[4], Rounds, [&] {
        return DecodedFile{ConvertInOneCall(file, stream), stream.format.sampleRate, stream.format.channels};
    });
    if (argc > 6) {
        std::printf("file: %s\n", argv[6]);
        CompareWithFloor(engine, argv[6], argv[4], Rounds, [&] {
            FlacPcm flac = DecodeFlacInOneCall(argv[6]);
            return DecodedFile{flac.pcm, flac.rate, flac.channels};
        });
    }
    InfoRecord info;

    // How long the transport calls take to return; each acts on the
    // device at once (pause, or a reset and refill).
    {
        engine.open(argv[2], &info);
        engine.play();
        Sleep(500);
        double t0 = WallSeconds();
        engine.pause();
        double t1 = WallSeconds();
        engine.restart();
        double t2 = WallSeconds();
        engine.seek(30);
        double t3 = WallSeconds();
        engine.stop();
        double t4 = WallSeconds();
        engine.close();
        std::printf("calls: pause %.2f ms, restart %.2f ms, seek %.2f ms, stop %.2f ms\n", (t1 - t0) * 1000,
                    (t2 - t1) * 1000, (t3 - t2) * 1000, (t4 - t3) * 1000);
    }

    // Opening a long VBR file: the first open, then the rest.
    std::vector<double> opens;
    for (int i = 0; i < 8; ++i) {
        double wall = WallSeconds();
        engine.open(argv[3], &info);
        opens.push_back(WallSeconds() - wall);
        engine.close();
    }
    double firstOpen = opens.front();
    std::vector<double> later(opens.begin() + 1, opens.end());
    std::printf("vbmp3_open on %s (%d s): first %.1f ms; then median %.1f ms (%.1f-%.1f)\n", argv[3],
                info.totalSeconds, firstOpen * 1000, Median(later) * 1000, Lowest(later) * 1000,
                Highest(later) * 1000);
    engine.free();
    return 0;
}
