// An acceptance run over real-world files that the tests have not seen
// (scripts/codec_acceptance.sh gathers them and their reference decodes):
// what the engine makes of each FLAC, Ogg and Opus file against the
// format's own decoder, and the whole player going through a folder of all
// of them without a crash or a hang.
//
// TUNEWELL_ACCEPTANCE names the folder: files/ holds the sound files, and
// refs/NAME.raw with refs/NAME.txt ("CHANNELS BITS") the reference decode
// of each file its format's decoder could read.
#include "engine_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

std::string AcceptanceFolder()
{
    const char *folder = std::getenv("TUNEWELL_ACCEPTANCE");
    return folder ? folder : "";
}

std::vector<std::string> FilesIn(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool EndsWith(const std::string &name, const char *suffix)
{
    size_t n = std::strlen(suffix);
    return name.size() >= n && _stricmp(name.c_str() + name.size() - n, suffix) == 0;
}

bool ForTheEngine(const std::string &name)
{
    return EndsWith(name, ".flac") || EndsWith(name, ".ogg") || EndsWith(name, ".oga") || EndsWith(name, ".opus");
}

// Sample `i` of interleaved little-endian PCM of `bytes` bytes a sample.
int32_t SampleAt(const std::string &pcm, size_t i, int bytes)
{
    const uint8_t *p = reinterpret_cast<const uint8_t *>(pcm.data()) + i * size_t(bytes);
    uint32_t value = 0;
    for (int b = 0; b < bytes; ++b)
        value |= uint32_t(p[b]) << (8 * b);
    int shift = 32 - 8 * bytes;
    return int32_t(value << shift) >> shift;
}

struct Reference {
    bool present = false;
    int channels = 0;
    int bits = 0;
    std::string pcm;
};

Reference ReferenceOf(const std::string &folder, const std::string &name)
{
    Reference reference;
    std::string info = ReadBytes(folder + "\\refs\\" + name + ".txt");
    if (std::sscanf(info.c_str(), "%d %d", &reference.channels, &reference.bits) != 2)
        return reference;
    reference.pcm = ReadBytes(folder + "\\refs\\" + name + ".raw");
    reference.present = true;
    return reference;
}

// How far the engine's samples are from the reference's, both brought to
// the engine's depth; -1 when their lengths differ.
long LargestDifference(const std::string &heard, int heardBits, const Reference &reference)
{
    const int heardBytes = heardBits / 8, referenceBytes = (reference.bits + 7) / 8;
    const size_t samples = heard.size() / size_t(heardBytes);
    if (samples != reference.pcm.size() / size_t(referenceBytes))
        return -1;
    long largest = 0;
    for (size_t i = 0; i < samples; ++i) {
        int64_t expected = int64_t(SampleAt(reference.pcm, i, referenceBytes)) * (int64_t(1) << (heardBits - reference.bits));
        largest = std::max(largest, long(std::llabs(SampleAt(heard, i, heardBytes) - expected)));
    }
    return largest;
}

TEST(CodecAcceptance, EachFileDecodesAsItsFormatsOwnDecoderDecodesIt)
{
    const std::string folder = AcceptanceFolder();
    ASSERT_FALSE(folder.empty()) << "TUNEWELL_ACCEPTANCE is not set (scripts/codec_acceptance.sh sets it)";
    std::vector<std::string> names = FilesIn(folder + "\\files");
    ASSERT_FALSE(names.empty()) << "no files in " << folder << "\\files";

    for (const std::string &name : names) {
        if (!ForTheEngine(name))
            continue;
        SCOPED_TRACE(name);
        const std::string path = folder + "\\files\\" + name;
        const Reference reference = ReferenceOf(folder, name);

        Track track;
        if (!OpenTrack(&track, path.c_str())) {
            std::printf("%-44s refused by the engine (to the media services); reference: %s\n", name.c_str(),
                        reference.present ? std::to_string(reference.pcm.size()).append(" bytes").c_str() : "none");
            // What the format's decoder plays, the engine plays too, but for
            // FLAC inside Ogg, which it leaves to the media services.
            if (reference.present && !reference.pcm.empty() && !EndsWith(name, ".oga"))
                ADD_FAILURE() << "the engine refuses a file its format's decoder reads";
            continue;
        }
        const uint32_t channels = track.channels, bits = track.bits, rate = track.sampleRate;
        const uint64_t total = track.totalSamples;
        const size_t frameBytes = channels * bits / 8;
        std::string pcm = DecodeRest(&track);
        const uint64_t frames = pcm.size() / frameBytes;
        // From the middle: the samples there, and to the end.
        std::string fromMiddle;
        if (total > 1) {
            SeekTrack(&track, total / 2);
            fromMiddle = DecodeRest(&track);
        }
        CloseTrack(&track);

        std::string verdict;
        if (!reference.present) {
            // The format's decoder stops at damage or at a cut: the engine
            // plays what is there, and ends.
            verdict = frames < total ? "cut short or damaged: plays " + std::to_string(frames) + " of " +
                                           std::to_string(total) + " announced samples, then ends"
                                     : "no reference decode";
        } else if (reference.channels > 2 || reference.bits > 24) {
            verdict = "mixed down or dithered: length only";
            EXPECT_EQ(frames * size_t((reference.bits + 7) / 8) * size_t(reference.channels), reference.pcm.size());
        } else {
            const long difference = LargestDifference(pcm, int(bits), reference);
            // FLAC is lossless: exact. Vorbis and Opus decode in floating
            // point, which rounds its last bit differently in a 32-bit build.
            const long allowed = EndsWith(name, ".flac") ? 0 : 1;
            EXPECT_GE(difference, 0) << "the length differs from the reference decode";
            EXPECT_LE(difference, allowed) << "the samples differ from the reference decode";
            verdict = difference == 0 ? "exact" : difference > 0 ? "within " + std::to_string(difference)
                                                                 : "length differs";
        }
        if (reference.present) {
            EXPECT_EQ(frames, total) << "the engine hands out another length than it announced";
            EXPECT_EQ(fromMiddle.size(), size_t(total - total / 2) * frameBytes) << "from the middle, the rest's length";
        } else {
            EXPECT_LE(frames, total) << "the engine hands out more than it announced";
        }
        if (EndsWith(name, ".flac") && total > 1 && pcm.size() == total * frameBytes) {
            EXPECT_TRUE(fromMiddle == pcm.substr(size_t(total / 2) * frameBytes)) << "from the middle, other samples";
        }
        std::printf("%-44s %u Hz, %u ch, %u bit, %llu samples: %s\n", name.c_str(), rate, channels, bits,
                    (unsigned long long)frames, verdict.c_str());
    }
}

// Asks another process's window, giving up after 10 s: a player that hangs
// fails the run instead of holding it.
bool Ask(HWND window, UINT message, DWORD_PTR &result)
{
    result = 0;
    return SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) != 0;
}

TEST(CodecAcceptance, ThePlayerGoesThroughAFolderOfThemWithoutACrashOrAHang)
{
    const std::string folder = AcceptanceFolder();
    ASSERT_FALSE(folder.empty()) << "TUNEWELL_ACCEPTANCE is not set (scripts/codec_acceptance.sh sets it)";
    const std::string files = folder + "\\files";
    const size_t count = FilesIn(files).size();
    ASSERT_GT(count, 0u);
    const std::string log = folder + "\\player.log";

    ProgramProcess program;
    ASSERT_TRUE(StartProgramWithLog(ProgramPath(), {}, files, log, program));
    HWND playButton = nullptr, slider = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        playButton = FindWindowExA(program.window, nullptr, "PlayWindow", nullptr);
        slider = FindWindowExA(program.window, nullptr, "msctls_trackbar32", nullptr);
        return playButton && slider;
    })) << "the player's window has no play button or slider";

    // Each track plays a second or so, then the next is asked for; the
    // player picks at random, so it goes round twice the folder's size.
    std::set<DWORD_PTR> lengthsShown;
    const size_t rounds = 2 * count;
    size_t heardMoving = 0;
    for (size_t round = 0; round < rounds; ++round) {
        DWORD_PTR length = 0, position = 0;
        bool answers = true;
        WaitUntil([&] { return !(answers = Ask(slider, TBM_GETRANGEMAX, length)) || length > 0; }, 4000);
        if (answers && WaitUntil([&] { return !(answers = Ask(slider, TBM_GETPOS, position)) || position > 0; }, 3000))
            ++heardMoving;
        lengthsShown.insert(length);
        DWORD_PTR ignored;
        ASSERT_TRUE(answers && Ask(program.window, WM_NULL, ignored))
            << "the player stopped answering in round " << round;
        DWORD running = 0;
        ASSERT_TRUE(GetExitCodeProcess(program.process.hProcess, &running) && running == STILL_ACTIVE)
            << "the player ended in round " << round;
        const DWORD_PTR shown = length;
        PostMessageA(playButton, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        // The next track shows its own length, unless it has the same one.
        WaitUntil([&] { return !Ask(slider, TBM_GETRANGEMAX, length) || length != shown; }, 2000);
    }
    std::printf("over %u rounds the player showed %u different lengths, and the position moved in %u\n",
                unsigned(rounds), unsigned(lengthsShown.size()), unsigned(heardMoving));
    EXPECT_EQ(CloseProgram(program), 0u);
    std::string output = ReadBytes(log);
    EXPECT_EQ(output.find("Unhandled"), std::string::npos) << output;
    EXPECT_EQ(output.find("page fault"), std::string::npos) << output;
}

} // namespace
