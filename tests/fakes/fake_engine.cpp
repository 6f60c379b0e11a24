// A stand-in for the MP3 engine library that plays nothing and notes every
// call, so a test can see which entry points the program used. It defines
// the entry points of vbmp3.h, so that a change of the contract breaks its
// build. FAKE_INIT_RESULT is what vbmp3_init returns; FAKE_WITHOUT_SEEK
// leaves one entry point out.
#include "vbmp3.h"

#include <string>

static std::string calls;

#define ENTRY(name, ...) extern "C" int __stdcall name(__VA_ARGS__)

ENTRY(vbmp3_init) { calls += "init "; return FAKE_INIT_RESULT; }
ENTRY(vbmp3_getVersion) { calls += "getVersion "; return 0; }
ENTRY(vbmp3_open, const char *, InfoRecord *) { calls += "open "; return 1; }
ENTRY(vbmp3_play) { calls += "play "; return 1; }
ENTRY(vbmp3_getState, int *position) { calls += "getState "; *position = 0; return 0; }
ENTRY(vbmp3_pause) { calls += "pause "; return 1; }
ENTRY(vbmp3_stop) { calls += "stop "; return 1; }
ENTRY(vbmp3_restart) { calls += "restart "; return 1; }
#ifndef FAKE_WITHOUT_SEEK
ENTRY(vbmp3_seek, int) { calls += "seek "; return 1; }
#endif
ENTRY(vbmp3_close) { calls += "close "; return 1; }
ENTRY(vbmp3_free) { calls += "free "; return 1; }
ENTRY(vbmp3_clallback) { calls += "clallback "; return 0; }

extern "C" __declspec(dllexport) const char *fake_engine_calls() { return calls.c_str(); }
