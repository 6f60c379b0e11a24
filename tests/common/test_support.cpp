#include "common/test_support.h"

#include "app/startup.h"
#include "playback/mci.h"
#include "playlist/narrow_path.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---- Files -------------------------------------------------------------

TempDir::TempDir()
{
    static unsigned counter = 0;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    size_t length = std::strlen(base);
    if (length && base[length - 1] == '\\')
        base[length - 1] = '\0';
    for (;;) {
        char name[MAX_PATH + 64];
        std::snprintf(name, sizeof name, "%s\\tw%lu_%u", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

static void RemoveTree(const std::string &path);

TempDir::~TempDir() { RemoveTree(path_); }

void WriteBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolder(const std::string &path) { CreateDirectoryA(path.c_str(), nullptr); }

static void RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((path + "\\*").c_str(), &found);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(listing, &found));
        FindClose(listing);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA(path.c_str());
}

void WriteBmp(const std::string &path, int width, int height, const std::function<COLORREF(int x, int y)> &colourAt,
              bool topDown)
{
    int rowBytes = (width * 3 + 3) & ~3;
    std::string pixels;
    for (int stored = 0; stored < height; ++stored) {
        int y = topDown ? stored : height - 1 - stored;
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            COLORREF colour = colourAt(x, y);
            row[x * 3] = static_cast<char>(GetBValue(colour));
            row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
            row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
        }
        pixels += row;
    }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixels.size();
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = topDown ? -height : height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixels.size();
    std::string bytes(reinterpret_cast<const char *>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char *>(&info), sizeof info);
    WriteBytes(path, bytes + pixels);
}

static void PutLE(std::string &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void WriteToneWav(const std::string &path, double seconds, double frequency, int sampleRate, int channels)
{
    uint32_t frames = static_cast<uint32_t>(seconds * sampleRate);
    uint32_t dataBytes = frames * channels * 2;
    std::string wav = "RIFF";
    PutLE(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    PutLE(wav, 16, 4);
    PutLE(wav, 1, 2);
    PutLE(wav, channels, 2);
    PutLE(wav, sampleRate, 4);
    PutLE(wav, sampleRate * channels * 2, 4);
    PutLE(wav, channels * 2, 2);
    PutLE(wav, 16, 2);
    wav += "data";
    PutLE(wav, dataBytes, 4);
    wav.reserve(wav.size() + dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t sample = static_cast<int16_t>(16000 * std::sin(2 * M_PI * frequency * i / sampleRate));
        for (int c = 0; c < channels; ++c)
            PutLE(wav, static_cast<uint16_t>(sample), 2);
    }
    WriteBytes(path, wav);
}

void WriteWideToneWav(const std::wstring &path, double seconds, double frequency, const std::string &scratch)
{
    WriteToneWav(scratch, seconds, frequency);
    ASSERT_TRUE(MoveFileW(WidenText(scratch.c_str()).c_str(), path.c_str()));
}

// ---- Waiting -------------------------------------------------------------

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Keep the quit message for whoever stops the player.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitUntil(const std::function<bool()> &condition, unsigned timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// ---- MCI recorder ----------------------------------------------------------

static MciRecorder *activeRecorder = nullptr;

static MCIERROR RecordMci(const char *command, char *reply, UINT replyLength, HWND callback)
{
    MciRecorder &recorder = *activeRecorder;
    recorder.calls.push_back({command, replyLength, callback});
    MciRecorder::Reply answer = {0, ""};
    auto exact = recorder.answers.find(command);
    if (exact != recorder.answers.end()) {
        answer = exact->second;
    } else {
        for (const auto &prefix : recorder.prefixAnswers)
            if (std::strncmp(command, prefix.first.c_str(), prefix.first.size()) == 0)
                answer.result = prefix.second;
    }
    if (reply && replyLength) {
        std::strncpy(reply, answer.text.c_str(), replyLength - 1);
        reply[replyLength - 1] = '\0';
    }
    return answer.result;
}

static unsigned OneMidiOutput() { return 1; }

// What a recorded back-end "opens": the path's own attributes where it
// names something, a plain file where it names nothing.
static unsigned long AttributesOrPlainFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : attributes;
}

MciRecorder::MciRecorder()
    : previous_(mciSender), previousMidi_(midiOutputCounter), previousAttributes_(entryAttributesReader)
{
    activeRecorder = this;
    mciSender = RecordMci;
    midiOutputCounter = OneMidiOutput;
    entryAttributesReader = AttributesOrPlainFile;
}

MciRecorder::~MciRecorder()
{
    mciSender = previous_;
    midiOutputCounter = previousMidi_;
    entryAttributesReader = previousAttributes_;
    activeRecorder = nullptr;
}

void MciRecorder::Answer(const std::string &command, MCIERROR result, const std::string &reply)
{
    answers[command] = {result, reply};
}

void MciRecorder::AnswerPrefix(const std::string &prefix, MCIERROR result)
{
    prefixAnswers.push_back({prefix, result});
}

std::vector<std::string> MciRecorder::Commands() const
{
    std::vector<std::string> commands;
    for (const MciCall &call : calls)
        commands.push_back(call.command);
    return commands;
}

// ---- Fake MP3 engine ---------------------------------------------------------

static FakeEngine *activeEngine = nullptr;

static int __stdcall FakeInit() { return 1; }
static int __stdcall FakeGetVersion() { return 0; }
static int __stdcall FakeOpen(const char *path, InfoRecord *info)
{
    activeEngine->calls.push_back(std::string("open ") + path);
    info->totalSeconds = activeEngine->openSeconds;
    return 1;
}
static int __stdcall FakePlay()
{
    activeEngine->calls.push_back("play");
    if (activeEngine->playResults.empty())
        return 1;
    int result = activeEngine->playResults.front();
    activeEngine->playResults.erase(activeEngine->playResults.begin());
    return result;
}
static int __stdcall FakeGetState(int *position)
{
    activeEngine->calls.push_back("getState");
    *position = activeEngine->position;
    return activeEngine->state;
}
static int __stdcall FakePause() { activeEngine->calls.push_back("pause"); return 1; }
static int __stdcall FakeStop() { activeEngine->calls.push_back("stop"); return 1; }
static int __stdcall FakeRestart() { activeEngine->calls.push_back("restart"); return 1; }
static int __stdcall FakeSeek(int seconds)
{
    activeEngine->calls.push_back("seek " + std::to_string(seconds));
    return 1;
}
static int __stdcall FakeClose() { activeEngine->calls.push_back("close"); return 1; }
static int __stdcall FakeFree() { activeEngine->calls.push_back("free"); return 1; }
static int __stdcall FakeCallback() { return 0; }

static void *FakeEntryPoint(const char *name)
{
    struct Entry {
        const char *name;
        void *address;
    };
    const Entry entries[] = {
        {"vbmp3_init", reinterpret_cast<void *>(FakeInit)},
        {"vbmp3_getVersion", reinterpret_cast<void *>(FakeGetVersion)},
        {"vbmp3_open", reinterpret_cast<void *>(FakeOpen)},
        {"vbmp3_play", reinterpret_cast<void *>(FakePlay)},
        {"vbmp3_getState", reinterpret_cast<void *>(FakeGetState)},
        {"vbmp3_pause", reinterpret_cast<void *>(FakePause)},
        {"vbmp3_stop", reinterpret_cast<void *>(FakeStop)},
        {"vbmp3_restart", reinterpret_cast<void *>(FakeRestart)},
        {"vbmp3_seek", reinterpret_cast<void *>(FakeSeek)},
        {"vbmp3_close", reinterpret_cast<void *>(FakeClose)},
        {"vbmp3_free", reinterpret_cast<void *>(FakeFree)},
        {"vbmp3_clallback", reinterpret_cast<void *>(FakeCallback)},
    };
    for (const Entry &entry : entries)
        if (std::strcmp(entry.name, name) == 0)
            return entry.address;
    return nullptr;
}

FakeEngine::FakeEngine() : previousAttributes_(entryAttributesReader)
{
    entryAttributesReader = AttributesOrPlainFile;
    activeEngine = this;
    // Bound by the entry points' own names, as the program binds the
    // library: an entry left out or misnamed here fails, never binds a
    // fake to another entry point.
    EXPECT_TRUE(BindVbmp3Entries(player.vbmp3, FakeEntryPoint));
    player.mp3EngineAvailable = 1;
}

FakeEngine::~FakeEngine()
{
    entryAttributesReader = previousAttributes_;
    player.vbmp3 = Vbmp3Entries();
    player.mp3EngineAvailable = 0;
    activeEngine = nullptr;
}

// ---- Transport states set by hand -------------------------------------------

void SetTransportFlags(Transport state, BackEnd backEnd)
{
    player.backEnd = backEnd;
    SetTransport(state);
}

Transport CurrentTransport()
{
    const int32_t flags[] = {player.trackOpen, player.playing, player.paused, player.stopped};
    if (!flags[0] && !flags[1] && !flags[2] && !flags[3])
        return Transport::Idle;
    if (flags[0] && flags[1] && !flags[2] && !flags[3])
        return Transport::Playing;
    if (flags[0] && !flags[1] && flags[2] && !flags[3])
        return Transport::Paused;
    if (flags[0] && !flags[1] && !flags[2] && flags[3])
        return Transport::Stopped;
    ADD_FAILURE() << "flags outside the four states: " << flags[0] << flags[1] << flags[2] << flags[3];
    return Transport::Idle;
}

const char *TransportName(Transport state)
{
    static const char *const names[] = {"idle", "playing", "paused", "stopped"};
    return names[static_cast<int>(state)];
}

// ---- The Linux side ------------------------------------------------------------

std::string UnixPathOf(const std::string &windowsPath)
{
    typedef char *(CDECL * Convert)(const WCHAR *);
    FARPROC entry = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    Convert convert = reinterpret_cast<Convert>(reinterpret_cast<void *>(entry));
    if (!convert)
        return std::string();
    std::wstring wide(windowsPath.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    char *unixPath = convert(wide.c_str());
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

int RunLinuxCommand(const std::string &command)
{
    // Wine starts a Linux program but gives no handle to wait on, so the
    // shell leaves the exit status in a file.
    TempDir folder;
    std::string status = folder / "status";
    std::string unixStatus = UnixPathOf(status);
    if (unixStatus.empty()) {
        ADD_FAILURE() << "no Linux path for " << status << ": not running under Wine?";
        return -1;
    }
    std::string commandLine = "/bin/sh -c \"" + command + "; echo $? > '" + unixStatus + ".part' && mv '" +
                              unixStatus + ".part' '" + unixStatus + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "could not start " << commandLine;
        return -1;
    }
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (!WaitUntil([&] { return FileExists(status); }, 20000)) {
        ADD_FAILURE() << "did not end: " << commandLine;
        return -1;
    }
    return std::atoi(ReadBytes(status).c_str());
}

// ---- The media keys ----------------------------------------------------------

bool KeyIsFree(UINT key)
{
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    bool free = RegisterHotKey(probe, 1, 0, key) != FALSE;
    if (free)
        UnregisterHotKey(probe, 1);
    DestroyWindow(probe);
    return free;
}

// ---- The player in-process ------------------------------------------------

HWND StartTestPlayer(const std::string &directory, const std::string &tail)
{
    SetCurrentDirectoryA(directory.c_str());
    HWND window = StartPlayer(GetModuleHandleA(nullptr), WidenText(tail.c_str()).c_str(), SW_SHOWNORMAL);
    PumpMessages();
    return window;
}

void StopTestPlayer()
{
    if (player.mainWindow && IsWindow(player.mainWindow))
        DestroyWindow(player.mainWindow);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);
    }
    HMODULE engineModule = player.mp3Module;
    Vbmp3Entries engine = player.vbmp3;
    int32_t available = player.mp3EngineAvailable;
    player = PlayerState();
    // A fake engine outlives the player it was bound for.
    player.mp3Module = engineModule;
    if (activeEngine) {
        player.vbmp3 = engine;
        player.mp3EngineAvailable = available;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    SetCurrentDirectoryA(temp);
}

// ---- Where the build put things ---------------------------------------------

std::string BuildFolder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = self;
    // The test programs live in build\tests or a folder below it.
    do
        folder = folder.substr(0, folder.rfind('\\'));
    while (folder.find('\\') != std::string::npos && !FileExists(folder + "\\CMakeCache.txt"));
    return folder;
}

std::string ProgramPath() { return BuildFolder() + "\\Tunewell.exe"; }

// ---- Sound ----------------------------------------------------------------

std::string SoundFilePath()
{
    const char *unixPath = std::getenv("TUNEWELL_SOUND_FILE");
    if (!unixPath || !*unixPath)
        return std::string();
    std::string path = std::string("Z:") + unixPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void ClearSound()
{
    std::string path = SoundFilePath();
    if (!path.empty())
        DeleteFileA(path.c_str());
}

SoundSummary SummarizeSound(const std::string &pcm, int sampleRate, int channels)
{
    size_t frames = pcm.size() / (2 * channels);
    const int16_t *samples = reinterpret_cast<const int16_t *>(pcm.data());
    double sum = 0;
    size_t crossings = 0;
    for (size_t i = 0; i < frames; ++i) {
        double s = samples[i * channels];
        sum += s * s;
        if (i > 0 && (samples[(i - 1) * channels] < 0) != (s < 0))
            ++crossings;
    }
    SoundSummary summary;
    summary.seconds = static_cast<double>(frames) / sampleRate;
    summary.rms = frames ? std::sqrt(sum / frames) : 0;
    summary.frequency = summary.seconds > 0 ? crossings / 2.0 / summary.seconds : 0;
    return summary;
}

std::string FromFirstSound(const std::string &pcm, int channels)
{
    size_t frame = 0;
    const size_t frameBytes = static_cast<size_t>(channels) * 2;
    while ((frame + 1) * frameBytes <= pcm.size()) {
        const int16_t *sample = reinterpret_cast<const int16_t *>(pcm.data() + frame * frameBytes);
        if (*sample != 0)
            break;
        ++frame;
    }
    return pcm.substr(frame * frameBytes);
}

std::string WithoutSilenceAtTheEnds(const std::string &pcm)
{
    size_t begin = 0, end = pcm.size() & ~size_t(1);
    while (end >= 2 && pcm[end - 1] == 0 && pcm[end - 2] == 0)
        end -= 2;
    while (begin + 4 <= end && std::memcmp(&pcm[begin], "\0\0\0\0", 4) == 0)
        begin += 4;
    return pcm.substr(begin, end - begin);
}

// ---- MCI command strings ------------------------------------------------------

std::string MciOpenCommand(const std::string &path) { return "open \"" + path + "\" alias music wait"; }

std::string WaitForSoundBytes(size_t bytes, unsigned timeoutMs)
{
    std::string pcm;
    WaitUntil(
        [&] {
            pcm = ReadBytes(SoundFilePath());
            return pcm.size() >= bytes;
        },
        timeoutMs);
    return pcm;
}

SoundSummary WaitForSound(double seconds, unsigned timeoutMs)
{
    const int rate = 44100;
    const size_t frameBytes = 4;
    size_t wanted = static_cast<size_t>(seconds * rate) * frameBytes;
    std::string pcm;
    size_t start = 0;
    WaitUntil(
        [&] {
            pcm = ReadBytes(SoundFilePath());
            start = 0;
            while (start + frameBytes <= pcm.size() && pcm[start] == 0 && pcm[start + 1] == 0)
                start += frameBytes;
            return pcm.size() >= start + wanted;
        },
        timeoutMs);
    if (pcm.size() < start + wanted)
        return SoundSummary{0, 0, 0};
    return SummarizeSound(pcm.substr(start, wanted), rate, 2);
}
