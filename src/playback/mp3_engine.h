// The MP3 engine library, loaded at run time from "VBMP3.dll" and bound to
// player.vbmp3; the program calls its entry points through that binding
// only, and a test may bind it to fakes instead. Its contract is vbmp3.h.
#pragma once

#include "core/player_state.h"

// Loads and binds the library and returns vbmp3_init's result (1 ready,
// 0 not). A library without all twelve entry points counts as missing.
int32_t LoadMp3Engine();

// Undoes LoadMp3Engine as the player ends: vbmp3_free when the engine was
// ready, then the library itself is let go.
void UnloadMp3Engine();
