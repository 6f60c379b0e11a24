// The MP3 engine library, loaded at run time from "VBMP3.dll". The program
// calls it only through these wrappers, which use the entry points bound by
// LoadMp3Engine; a test may bind player.vbmp3 to fakes instead.
#pragma once

#include "app/player_state.h"

// Loads and binds the library and returns vbmp3_init's result (1 ready,
// 0 not). A library without all twelve entry points counts as missing.
int32_t LoadMp3Engine();

int vbmp3_open(const char *path, Mp3Info *info);
int vbmp3_play();
int vbmp3_getState(int *position);
int vbmp3_pause();
int vbmp3_stop();
int vbmp3_restart();
int vbmp3_seek(int seconds);
int vbmp3_close();
int vbmp3_free();
