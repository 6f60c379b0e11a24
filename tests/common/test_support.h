// Helpers shared by the test programs: temporary folders and files, bounded
// waits that keep messages flowing, the MCI recorder, a fake MP3 engine,
// the player brought up in-process, and the sound that reached the output
// file.
#pragma once

#include "core/palette.h"
#include "core/player_state.h"
#include "playback/mci.h"
#include "playback/play_track.h"
#include "playback/transport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// ---- Files -------------------------------------------------------------

// A fresh folder under the Wine temp folder, removed with its contents
// when the object goes away. path() ends without a backslash.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    // path() + "\" + name
    std::string operator/(const std::string &name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

void WriteBytes(const std::string &path, const std::string &bytes);
std::string ReadBytes(const std::string &path);
bool FileExists(const std::string &path);
void MakeFolder(const std::string &path);

// A 24-bit BMP file whose pixel (x, y), y counted from the top, has the
// colour colourAt(x, y) (0x00BBGGRR). Its rows are stored bottom-up, as
// most files have them, or top row first (a negative height) when
// `topDown`.
void WriteBmp(const std::string &path, int width, int height, const std::function<COLORREF(int x, int y)> &colourAt,
              bool topDown = false);

// A WAV file of a sine tone (16-bit PCM).
void WriteToneWav(const std::string &path, double seconds, double frequency, int sampleRate = 44100,
                  int channels = 2);

// The same tone under a name that the narrow functions cannot make:
// written under the narrow name `scratch` and renamed.
void WriteWideToneWav(const std::wstring &path, double seconds, double frequency, const std::string &scratch);

// Where a file of this process lies on the Linux side, through Wine's own
// conversion; empty when there is none.
std::string UnixPathOf(const std::string &windowsPath);

// Runs a Linux shell command line (/bin/sh -c) and waits (bounded, with
// this thread's messages flowing, since windows of the test may take part)
// until it has ended. Returns its exit status, or -1 when it did not end.
int RunLinuxCommand(const std::string &command);

// ---- Waiting -------------------------------------------------------------

// Dispatches every waiting message of this thread.
void PumpMessages();
// Pumps messages until `condition` holds or `timeoutMs` has passed; returns
// whether it holds.
bool WaitUntil(const std::function<bool()> &condition, unsigned timeoutMs = 20000);

// ---- MCI recorder ----------------------------------------------------------

struct MciCall {
    std::string command;
    UINT replyLength;
    HWND callback;
};

// Takes the place of the platform's MCI while it lives: every command is
// noted, and answered with result 0 and an empty reply unless a reply was
// scripted for it. It stands in for every device, the sequencer's MIDI
// output included (while it lives the system has one), and for the files
// it "opens": a path that names nothing counts as a file.
class MciRecorder {
  public:
    MciRecorder();
    ~MciRecorder();
    // Result and reply text for every later command equal to `command`.
    void Answer(const std::string &command, MCIERROR result, const std::string &reply = "");
    // Result for commands that begin with `prefix` ("open " for every open).
    void AnswerPrefix(const std::string &prefix, MCIERROR result);
    std::vector<std::string> Commands() const;
    std::vector<MciCall> calls;
    void Clear() { calls.clear(); }

    struct Reply {
        MCIERROR result;
        std::string text;
    };
    std::map<std::string, Reply> answers;
    std::vector<std::pair<std::string, MCIERROR>> prefixAnswers;

  private:
    MciSender previous_;
    MidiOutputCounter previousMidi_;
    EntryAttributesReader previousAttributes_;
};

// ---- Fake MP3 engine ---------------------------------------------------------

// Binds player.vbmp3 to in-process fakes that note each call
// ("open C:\x.mp3", "play", "close", "seek 0", ...) and marks the engine
// available. Results are scripted through the fields. Like the recorder it
// stands in for the files it "opens".
class FakeEngine {
  public:
    FakeEngine();
    ~FakeEngine();
    std::vector<std::string> calls;
    std::vector<int> playResults; // taken in order; 1 once they run out
    int32_t openSeconds = 0;      // written at offset 268 by open
    int state = 1;                // getState's result
    int position = 0;             // getState's position

  private:
    EntryAttributesReader previousAttributes_;
};

// ---- Transport states set by hand -------------------------------------------

// Puts the track on `backEnd` and the transport into `state` the way the
// program does (the slider and the face follow), without a back-end
// hearing of it.
void SetTransportFlags(Transport state, BackEnd backEnd);
// The state the four flags are in; flags outside the four states fail the
// test (and read as idle).
Transport CurrentTransport();
const char *TransportName(Transport state);

// ---- The media keys ----------------------------------------------------------

// The keys the player holds as hot keys while its window lives.
inline constexpr UINT PlayerKeys[] = {VK_MEDIA_PLAY_PAUSE, VK_MEDIA_NEXT_TRACK, VK_MEDIA_STOP};
// Whether a window of the test can take `key` as a hot key of its own, so
// whether no window (of any program) holds it; given back at once.
bool KeyIsFree(UINT key);

// ---- The player in-process ------------------------------------------------

// Runs start-up (without the message loop) in `directory` with the given
// command-line tail, and returns the main window.
HWND StartTestPlayer(const std::string &directory, const std::string &tail = "");
// Destroys the main window if it still exists, takes the quit message out
// of the queue, and returns the record to its start values.
void StopTestPlayer();

// A test fixture that stops the player after each test.
class PlayerTest : public ::testing::Test {
  protected:
    void TearDown() override { StopTestPlayer(); }
};

// ---- Where the build put things ---------------------------------------------

// The build folder (build\), found above the test program's own folder.
std::string BuildFolder();
// build\Tunewell.exe
std::string ProgramPath();

// ---- Sound ----------------------------------------------------------------

// The file that the sound output lands in (TUNEWELL_SOUND_FILE), in its
// Windows form; empty when the tests run without one.
std::string SoundFilePath();

// Ends a test that needs the sound file when there is none, as a failure:
// without it the test cannot check what it claims.
#define REQUIRE_SOUND_FILE()                                                                        \
    do {                                                                                            \
        if (SoundFilePath().empty())                                                                \
            FAIL() << "the test needs TUNEWELL_SOUND_FILE (scripts/test.sh sets it)";              \
    } while (0)
// Removes what earlier tests played.
void ClearSound();

// What a stretch of 16-bit PCM sounds like.
struct SoundSummary {
    double seconds;   // duration at the given rate and channel count
    double rms;       // level, 0 to 32767
    double frequency; // from zero crossings of the first channel
};
SoundSummary SummarizeSound(const std::string &pcm, int sampleRate, int channels);

// 16-bit PCM from the first frame whose first channel is not silent: past
// the silence a device may put first.
std::string FromFirstSound(const std::string &pcm, int channels);
// 16-bit PCM without the silence the device adds before the first buffer
// and after the last (it writes whole periods of 10 ms, and keeps writing
// them until it is closed): zero groups of four bytes at the start, zero
// samples at the end.
std::string WithoutSilenceAtTheEnds(const std::string &pcm);

// ---- MCI command strings ------------------------------------------------------

// The command that opens `path` on the device "music", as PlayTrack sends it.
std::string MciOpenCommand(const std::string &path);

// Waits (bounded) until the sound file holds at least `bytes`, and returns
// what it holds then (less when the time ran out).
std::string WaitForSoundBytes(size_t bytes, unsigned timeoutMs = 30000);

// Waits (bounded) for `seconds` of sound past the silence a device may put
// first, as WriteToneWav writes it by default (44.1 kHz, stereo), and
// returns what it sounds like; zeros when none arrived.
SoundSummary WaitForSound(double seconds = 0.5, unsigned timeoutMs = 30000);
