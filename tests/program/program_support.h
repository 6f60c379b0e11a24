// What the program tests share: the fixtures, a copy of the program in a
// folder of the test's own, the slider of a running program, and the
// sound that the platform's media services write.
#pragma once

#include "common/program_runner.h"
#include "common/test_support.h"

#include <string>

// A file made by make_fixtures.sh.
std::string ProgramFixture(const std::string &name);

// Copies build\Tunewell.exe, alone, into `folder`; returns the copy's path.
std::string CopyProgramInto(const std::string &folder);

// The track range of the program's slider: the open track's length in
// whole seconds.
int SliderRange(const ProgramProcess &program);

// What the latest `seconds` of 16-bit PCM in the sound file sound like,
// as a WAV track of that rate and channel count writes it there.
SoundSummary LatestSound(double seconds, int sampleRate, int channels);

// What MCI's MP3 and WMA playback sounds like. Wine's media services hand
// the sound device 32-bit float stereo at 48 kHz; the unclocked null
// device takes it in pieces, with silence between them and a piece now
// and then played twice, so only the level and the frequency within the
// pieces say what was played.
struct FloatSoundSummary {
    double soundSeconds; // how much of it is not silence
    double rms;          // level of what is not silence, 0 to 1
    double frequency;    // from the typical distance between rising zero crossings
};
FloatSoundSummary SummarizeFloatSound(const std::string &pcm);
