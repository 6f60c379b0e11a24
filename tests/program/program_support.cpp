#include "program/program_support.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

std::string ProgramFixture(const std::string &name) { return BuildFolder() + "\\fixtures\\program\\" + name; }

std::string CopyProgramInto(const std::string &folder)
{
    std::string copy = folder + "\\Tunewell.exe";
    EXPECT_TRUE(CopyFileA(ProgramPath().c_str(), copy.c_str(), FALSE)) << "cannot copy the program to " << folder;
    return copy;
}

int SliderRange(const ProgramProcess &program)
{
    HWND slider = FindWindowExA(program.window, nullptr, TRACKBAR_CLASSA, nullptr);
    DWORD_PTR range = 0;
    if (!slider || !SendMessageTimeoutA(slider, TBM_GETRANGEMAX, 0, 0, SMTO_ABORTIFHUNG, 5000, &range))
        return -1;
    return static_cast<int>(range);
}

SoundSummary LatestSound(double seconds, int sampleRate, int channels)
{
    std::string sound = ReadBytes(SoundFilePath());
    size_t frame = 2 * static_cast<size_t>(channels);
    size_t tail = static_cast<size_t>(seconds * sampleRate) * frame;
    if (sound.size() < tail)
        return SoundSummary();
    size_t start = (sound.size() - tail) / frame * frame;
    return SummarizeSound(sound.substr(start, tail), sampleRate, channels);
}

FloatSoundSummary SummarizeFloatSound(const std::string &pcm)
{
    const int rate = 48000, channels = 2;
    size_t frames = pcm.size() / (4 * channels);
    std::vector<float> left(frames);
    for (size_t i = 0; i < frames; ++i)
        std::memcpy(&left[i], pcm.data() + i * 4 * channels, 4);

    double sum = 0;
    size_t sounding = 0;
    std::vector<size_t> periods;
    size_t lastRise = 0;
    bool haveRise = false;
    for (size_t i = 0; i < frames; ++i) {
        float s = left[i];
        if (s == 0.0f) {
            // Silence between pieces: the next rise starts a new count.
            haveRise = false;
            continue;
        }
        ++sounding;
        sum += static_cast<double>(s) * s;
        if (i > 0 && left[i - 1] < 0 && s > 0) {
            if (haveRise)
                periods.push_back(i - lastRise);
            lastRise = i;
            haveRise = true;
        }
    }
    FloatSoundSummary summary = {static_cast<double>(sounding) / rate, sounding ? std::sqrt(sum / sounding) : 0, 0};
    if (periods.empty())
        return summary;
    // Where two pieces meet, the distance between rises is anything; the
    // median is one period, and the mean of the periods near it is exact.
    std::vector<size_t> sorted = periods;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    double median = static_cast<double>(sorted[sorted.size() / 2]);
    double total = 0;
    size_t count = 0;
    for (size_t period : periods)
        if (std::fabs(period - median) <= median * 0.05) {
            total += period;
            ++count;
        }
    summary.frequency = rate / (total / count);
    return summary;
}
