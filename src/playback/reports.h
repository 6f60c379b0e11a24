// What playback tells the face, and the one place the end of a track is
// decided. The face fills in the reports as its window is created;
// playback calls nothing else above it.
#pragma once

#include "playback/transport.h"

#include <windows.h>

#include <cstdint>

struct PlaybackReports {
    // Where MCI sends its end-of-track notices (MM_MCINOTIFY).
    HWND noticeWindow;
    // A track opened and started: its title is in player.title, its
    // length in whole seconds is given.
    void (*trackOpened)(uint32_t totalSeconds);
    // The transport went into `state`; the face shows it before this
    // returns.
    void (*transportChanged)(Transport state);
    // The second being played, at each poll of a playing track.
    void (*positionMoved)(int seconds);
    // The track that was playing has ended.
    void (*trackEnded)();
};

extern PlaybackReports playbackReports;

// Back to reports that go nowhere, as the face goes away.
void ResetPlaybackReports();

// Looks at the playing track: reports where it is, or that it has ended
// (the engine's state says so, or a MIDI track stands still).
void PollTrack();

// MCI's notice with `code`: only a play that ran to its end while an MCI
// track is playing ends the track.
void OnMciNotice(WPARAM code);
