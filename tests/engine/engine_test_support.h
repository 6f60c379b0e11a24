// What the engine tests share: where the fixtures and the built library
// are, the library loaded by its full path, what the decoder makes of a
// fixture, what was heard lined up with what was encoded, and files cut
// short the way a pulled drive or another program cuts them.
#pragma once

#include "common/program_runner.h"
#include "common/test_support.h"
#include "track.h"
#include "vbmp3.h"

#include <windows.h>

#include <string>
#include <vector>

// A fixture made by make_fixtures.sh.
std::string Fixture(const std::string &name);
// The sound a fixture was encoded from (NAME.raw beside NAME.mp3).
std::string FixtureSource(const std::string &name);

// build/VBMP3.dll, loaded once and bound like the program binds it.
const Vbmp3Entries &Engine();
HMODULE EngineModule();

// Everything the cursor gives from where it stands to the end.
std::string DecodeRest(Track *track);
// What the engine's own decoder makes of a file, from `sample` on.
std::string DecodeFile(const std::string &path, uint64_t sample = 0);

// Where a recording lines up with the sound it should hold, found by
// cross-correlation of the first channel, with nothing trimmed.
struct Alignment {
    long long lead;      // samples heard before the source's first (negative: its start is missing)
    long long tail;      // samples heard after the source's last (negative: its end is missing)
    double correlation;  // at that offset; 1 for the same sound
};
Alignment AlignWithSource(const std::string &heard, const std::string &source, int channels);

// A test of the built library: the engine made ready and the sound file
// emptied first, the track closed and the engine freed afterwards.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// The engine's state, and its position in seconds.
int State(int *position = nullptr);
int Position();
// Waits (bounded, generously: where 32-bit programs run emulated, decoding
// a few seconds can take most of a minute) until the engine stops playing.
bool WaitForEnd();

// Everything that reached the sound device since it was last opened (the
// sound file starts again at each open), nothing trimmed.
std::string Sound();

// When the sound device runs dry it writes silence of its own, less than
// one 10 ms period each time; a machine too busy to keep it fed makes that
// happen now and then in a track, a few periods in a row at worst. The
// engine's own buffers hold 250 ms: silence that it added or a buffer that
// it lost would be far longer. Returns the sound since the device was last
// opened, without that padding when it is `expected` with nothing but
// such short runs of zero frames put in; otherwise all of it, unchanged,
// for the test to compare.
std::string HeardAgainst(const std::string &expected, int sampleRate = 44100, int channels = 2,
                         int bytesPerSample = 2);

// Cuts the file to `bytes` bytes from the Linux side, under the feet of
// whoever has it open; through the platform when that cannot run. True
// when the file is then that long.
bool CutFile(const std::string &path, uint64_t bytes);
uint64_t FileBytes(const std::string &path);

// Starts the program like StartProgram, with its whole output going to the
// file `logPath`: where Wine reports a crash ("Unhandled page fault"),
// also when the program lives on behind it.
bool StartProgramWithLog(const std::string &exe, const std::vector<std::string> &arguments,
                         const std::string &folder, const std::string &logPath, ProgramProcess &program);
