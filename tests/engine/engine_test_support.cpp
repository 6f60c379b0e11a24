#include "engine_test_support.h"

#include <cstdio>

#include <cmath>

std::string Fixture(const std::string &name)
{
    return BuildFolder() + "\\fixtures\\engine\\" + name;
}

std::string FixtureSource(const std::string &name)
{
    std::string path = Fixture(name);
    return ReadBytes(path.substr(0, path.rfind('.')) + ".raw");
}

HMODULE EngineModule()
{
    static HMODULE module = LoadLibraryA((BuildFolder() + "\\VBMP3.dll").c_str());
    return module;
}

static Vbmp3Entries BindEngine()
{
    Vbmp3Entries bound;
    BindVbmp3Entries(bound, [](const char *name) { return GetProcAddress(EngineModule(), name); });
    return bound;
}

const Vbmp3Entries &Engine()
{
    static Vbmp3Entries bound = BindEngine();
    return bound;
}

std::string DecodeRest(Track *track)
{
    std::string pcm;
    std::string chunk(65536, '\0');
    for (;;) {
        // Whole frames only: 24-bit stereo fills a chunk short of its size.
        uint32_t got = ReadTrackPcm(track, reinterpret_cast<uint8_t *>(&chunk[0]), uint32_t(chunk.size()));
        if (got == 0)
            return pcm;
        pcm.append(chunk, 0, got);
    }
}

std::string DecodeFile(const std::string &path, uint64_t sample)
{
    Track track;
    if (!OpenTrack(&track, path.c_str()))
        return std::string();
    SeekTrack(&track, sample);
    std::string pcm = DecodeRest(&track);
    CloseTrack(&track);
    return pcm;
}

Alignment AlignWithSource(const std::string &heard, const std::string &source, int channels)
{
    // Offsets up to 50 ms either way: far more than any device adds; a
    // recording further off does not correlate and fails on that.
    const long long maxShift = 2205;
    const int16_t *h = reinterpret_cast<const int16_t *>(heard.data());
    const int16_t *s = reinterpret_cast<const int16_t *>(source.data());
    const long long heardFrames = (long long)(heard.size() / (2 * channels));
    const long long sourceFrames = (long long)(source.size() / (2 * channels));

    Alignment best = {0, heardFrames - sourceFrames, -2};
    for (long long lead = -maxShift; lead <= maxShift; ++lead) {
        // Source sample i was heard at i + lead.
        long long first = lead < 0 ? -lead : 0;
        long long last = std::min(sourceFrames, heardFrames - lead);
        if (last - first < 1000)
            continue;
        double cross = 0, heardEnergy = 0, sourceEnergy = 0;
        for (long long i = first; i < last; ++i) {
            double a = s[i * channels], b = h[(i + lead) * channels];
            cross += a * b;
            sourceEnergy += a * a;
            heardEnergy += b * b;
        }
        double correlation = heardEnergy > 0 && sourceEnergy > 0 ? cross / std::sqrt(heardEnergy * sourceEnergy) : 0;
        if (correlation > best.correlation)
            best = {lead, heardFrames - lead - sourceFrames, correlation};
    }
    return best;
}

uint64_t FileBytes(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return ~uint64_t(0);
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

namespace {

// The Linux name of a file, from Wine's own conversion; empty elsewhere.
std::string UnixPath(const std::string &path)
{
    typedef char *(CDECL * UnixFileName)(const WCHAR *);
    UnixFileName unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (!unixFileName || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char *name = unixFileName(wide);
    if (!name)
        return std::string();
    std::string unixName = name;
    HeapFree(GetProcessHeap(), 0, name);
    return unixName;
}

// Starts a Linux program; Wine starts those too, and returns no handle to
// wait on.
bool StartUnixProgram(const std::string &program, std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return true;
}

// One argument of a command line, quotes inside it escaped.
std::string Quoted(const std::string &text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

bool CutFile(const std::string &path, uint64_t bytes)
{
    std::string unixName = UnixPath(path);
    if (!unixName.empty() &&
        StartUnixProgram("Z:\\usr\\bin\\truncate", "truncate -s " + std::to_string(bytes) + " " + Quoted(unixName)))
        WaitUntil([&] { return FileBytes(path) == bytes; }, 10000);
    if (FileBytes(path) != bytes) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            LARGE_INTEGER end;
            end.QuadPart = LONGLONG(bytes);
            if (SetFilePointerEx(file, end, nullptr, FILE_BEGIN))
                SetEndOfFile(file);
            CloseHandle(file);
        }
    }
    return FileBytes(path) == bytes;
}

bool StartProgramWithLog(const std::string &exe, const std::vector<std::string> &arguments,
                         const std::string &folder, const std::string &logPath, ProgramProcess &program)
{
    // Wine writes a crash report to the Linux side of a program's output,
    // which a Windows process cannot hand over: start it from a shell.
    std::string unixFolder = UnixPath(folder), unixLog = UnixPath(logPath);
    if (unixFolder.empty() || unixLog.empty() || FindWindowA("CWindow", nullptr))
        return false;
    std::string script = "log=$1; cd \"$2\" || exit 1; shift 2; exec wine \"$@\" >\"$log\" 2>&1";
    std::string line = "sh -c " + Quoted(script) + " sh " + Quoted(unixLog) + " " + Quoted(unixFolder) + " " + Quoted(exe);
    for (const std::string &argument : arguments)
        line += " " + Quoted(argument);
    if (!StartUnixProgram("Z:\\bin\\sh", line))
        return false;
    if (!WaitUntil([&] { return (program.window = FindWindowA("CWindow", nullptr)) != nullptr; }))
        return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(program.window, &processId);
    program.process.dwProcessId = processId;
    program.process.hProcess =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    return program.process.hProcess != nullptr;
}

int State(int *position)
{
    int scratch = -1;
    return Engine().getState(position ? position : &scratch);
}

int Position()
{
    int position = -1;
    Engine().getState(&position);
    return position;
}

bool WaitForEnd() { return WaitUntil([] { return State() != StatePlaying; }, 120000); }

std::string Sound() { return ReadBytes(SoundFilePath()); }

std::string HeardAgainst(const std::string &expected, int sampleRate, int channels, int bytesPerSample)
{
    std::string heard = Sound();
    const size_t frameBytes = size_t(bytesPerSample) * size_t(channels);
    const size_t longestPadding = 4 * size_t(sampleRate) / 100 * frameBytes;
    if (heard.size() <= expected.size() || heard.size() % frameBytes || expected.size() % frameBytes)
        return heard;
    const std::string silence(frameBytes, '\0');
    std::string kept;
    size_t e = 0, padding = 0, run = 0;
    for (size_t h = 0; h < heard.size(); h += frameBytes) {
        if (e < expected.size() && heard.compare(h, frameBytes, expected, e, frameBytes) == 0) {
            kept.append(heard, h, frameBytes);
            e += frameBytes;
            run = 0;
        } else if (heard.compare(h, frameBytes, silence) == 0 && (run += frameBytes) <= longestPadding) {
            padding += frameBytes;
        } else {
            return heard;
        }
    }
    if (e != expected.size())
        return heard;
    std::printf("the sound device ran dry: %u frames of its own silence left out\n", unsigned(padding / frameBytes));
    return kept;
}

void EngineTest::SetUp()
{
    ASSERT_NE(EngineModule(), nullptr) << "build/VBMP3.dll did not load";
    ASSERT_EQ(Engine().init(), 1);
    ClearSound();
}

void EngineTest::TearDown()
{
    Engine().close();
    Engine().free();
}
