// Every MCI command string leaves the program through SendMci, so that the
// whole conversation with the device "music" can be recorded by a test.
#pragma once

#include <windows.h>

typedef MCIERROR (*MciSender)(const char *command, char *reply, UINT replyLength, HWND callback);

// The platform's mciSendStringA unless a test has put a recorder here.
extern MciSender mciSender;

MCIERROR SendMci(const char *command, char *reply = nullptr, UINT replyLength = 0,
                 HWND callback = nullptr);

// Reads an MCI reply as the device's decimal milliseconds and returns whole
// seconds. Leading blanks and a sign are allowed; no digits read as 0.
int MciReplySeconds(const char *reply);

// Whether the system has a MIDI output for MCI's sequencer to play on.
// Without one the sequencer still opens a MIDI file and reports its
// length, but never plays or ends it.
typedef unsigned (*MidiOutputCounter)();
// The platform's count of MIDI outputs unless a test has put another here.
extern MidiOutputCounter midiOutputCounter;
bool HasMidiOutput();
