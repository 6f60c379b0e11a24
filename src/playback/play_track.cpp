#include "playback/play_track.h"

void PlayTrack(int) {}
