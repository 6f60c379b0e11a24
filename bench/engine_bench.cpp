// Measures, side by side in one run on the same file, the CPU time that
// VBMP3.dll takes to open an MP3 and play it to its end, against the
// platform's own path for the same sound: the ACM codec converting the
// whole file in one call, plus MCI's wave player playing the decoded WAV.
// Then the wall time of vbmp3_open on a long VBR file.
//
//   engine_bench.exe ENGINE.dll SHORT.mp3 LONG.mp3 SCRATCH.wav [ROUNDS]
#include "mp3_stream.h"
#include "vbmp3.h"

#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

void WriteWav(const char *path, const std::string &pcm, const FrameHeader &f)
{
    FILE *file = std::fopen(path, "wb");
    uint32_t dataBytes = uint32_t(pcm.size()), riff = 36 + dataBytes;
    uint16_t tag = 1, channels = uint16_t(f.channels), align = uint16_t(2 * f.channels), bits = 16;
    uint32_t rate = uint32_t(f.sampleRate), bytesPerSecond = rate * align, fmtBytes = 16;
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

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: engine_bench ENGINE.dll SHORT.mp3 LONG.mp3 SCRATCH.wav\n");
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
    auto open = engine.open;
    auto play = engine.play;
    auto getState = engine.getState;
    auto close = engine.close;
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

    // Interleaved rounds, each the floor and then the engine, so that both
    // meet the same machine; medians, with the lowest and highest, are
    // printed.
    const int Rounds = argc > 5 ? std::max(5, std::atoi(argv[5])) : 7;
    std::vector<double> codecRuns, waveRuns, floorRuns, engineRuns, ratios;
    InfoRecord info;
    for (int round = 0; round < Rounds; ++round) {
        // The floor: one conversion, then MCI's wave player.
        double cpu = ProcessCpuSeconds();
        std::string pcm = ConvertInOneCall(file, stream);
        codecRuns.push_back(ProcessCpuSeconds() - cpu);
        WriteWav(argv[4], pcm, stream.format);
        std::string openWav = std::string("open \"") + argv[4] + "\" type waveaudio alias benchwav wait";
        cpu = ProcessCpuSeconds();
        double wall = WallSeconds();
        MCIERROR opened = mciSendStringA(openWav.c_str(), nullptr, 0, nullptr);
        MCIERROR played = mciSendStringA("play benchwav wait", nullptr, 0, nullptr);
        mciSendStringA("close benchwav wait", nullptr, 0, nullptr);
        waveRuns.push_back(ProcessCpuSeconds() - cpu);
        std::printf("round %d floor: codec %.3f s CPU (%.1f s of PCM), MCI wave playback %.3f s CPU "
                    "(%.1f s wall, open %lu, play %lu)\n",
                    round, codecRuns.back(),
                    double(pcm.size()) / (2.0 * stream.format.channels * stream.format.sampleRate),
                    waveRuns.back(), WallSeconds() - wall, opened, played);

        // The engine: open, play to the end, close.
        cpu = ProcessCpuSeconds();
        wall = WallSeconds();
        int openResult = open(argv[2], &info);
        int playResult = play();
        int position = 0;
        // Asked as often as the program's timer asks.
        while (getState(&position) == 1)
            Sleep(300);
        close();
        engineRuns.push_back(ProcessCpuSeconds() - cpu);
        floorRuns.push_back(codecRuns.back() + waveRuns.back());
        ratios.push_back(engineRuns.back() / floorRuns.back());
        std::printf("round %d engine: open+play to the end %.3f s CPU (%.1f s wall, open %d, play %d, "
                    "length %d s)\n",
                    round, engineRuns.back(), WallSeconds() - wall, openResult, playResult, info.totalSeconds);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    auto lowest = [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); };
    auto highest = [](const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); };
    std::printf("over %d rounds, median (lowest-highest):\n", Rounds);
    std::printf("  floor  %.3f s (%.3f-%.3f): codec %.3f + wave output %.3f\n", median(floorRuns),
                lowest(floorRuns), highest(floorRuns), median(codecRuns), median(waveRuns));
    std::printf("  engine %.3f s (%.3f-%.3f)\n", median(engineRuns), lowest(engineRuns), highest(engineRuns));
    std::printf("  engine / floor: %.2f x by medians; per round %.2f x (%.2f-%.2f)\n",
                median(engineRuns) / median(floorRuns), median(ratios), lowest(ratios), highest(ratios));

    // How long the transport calls take to return; each acts on the
    // device at once (pause, or a reset and refill).
    {
        open(argv[2], &info);
        play();
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
        close();
        std::printf("calls: pause %.2f ms, restart %.2f ms, seek %.2f ms, stop %.2f ms\n", (t1 - t0) * 1000,
                    (t2 - t1) * 1000, (t3 - t2) * 1000, (t4 - t3) * 1000);
    }

    // Opening a long VBR file: the first open, then the rest.
    std::vector<double> opens;
    for (int i = 0; i < 8; ++i) {
        double wall = WallSeconds();
        open(argv[3], &info);
        opens.push_back(WallSeconds() - wall);
        close();
    }
    double firstOpen = opens.front();
    std::vector<double> later(opens.begin() + 1, opens.end());
    std::printf("vbmp3_open on %s (%d s): first %.1f ms; then median %.1f ms (%.1f-%.1f)\n", argv[3],
                info.totalSeconds, firstOpen * 1000, median(later) * 1000, lowest(later) * 1000,
                highest(later) * 1000);
    engine.free();
    return 0;
}
