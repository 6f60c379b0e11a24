// The MP3 engine library, loaded at run time from "VBMP3.dll" and bound to
// player.vbmp3; the program calls its entry points through that binding
// only, and a test may bind it to fakes instead. Its contract is vbmp3.h.
#pragma once

#include "core/player_state.h"

// Whether MP3 files go to the engine. Asked once, where it is first needed
// (the first MP3 to open, the About box), never during start-up: the
// library is loaded and bound then, and vbmp3_init's answer, which probes
// the sound output, is kept. A library that a test has bound stays.
bool Mp3EngineReady();

// Loads and binds the library without asking it anything; true when it
// has all twelve entry points (a library without one counts as missing).
bool LoadMp3Engine();

// As the player ends: vbmp3_free when the engine was asked and ready, then
// the library itself is let go.
void UnloadMp3Engine();
