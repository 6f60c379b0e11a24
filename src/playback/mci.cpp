#include "playback/mci.h"

#include <mmsystem.h>

#include <cstdlib>

// The platform's own driver, by its full path in the system folder: a
// file of that name in the user's music folder is never taken instead.
static HMODULE LoadWaveDriver()
{
    wchar_t path[MAX_PATH + 16];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    lstrcpyW(path + length, L"\\mciwave.dll");
    return LoadLibraryW(path);
}

static MCIERROR SendToPlatform(const char *command, char *reply, UINT replyLength, HWND callback)
{
    // Some wave drivers (Wine's) post the end-of-track notice from their
    // playing thread before that thread has left the driver. The player
    // answers the notice with a close, which unloads the driver when it was
    // the last device open, and the thread would crash on its way out.
    // One reference held for the player's life keeps the driver's code in
    // place; where the driver is missing this costs nothing.
    static HMODULE waveDriver = LoadWaveDriver();
    (void)waveDriver;
    return mciSendStringA(command, reply, replyLength, callback);
}

MciSender mciSender = SendToPlatform;

MCIERROR SendMci(const char *command, char *reply, UINT replyLength, HWND callback)
{
    return mciSender(command, reply, replyLength, callback);
}

int MciReplySeconds(const char *reply)
{
    return static_cast<int>(std::strtol(reply, nullptr, 10) / 1000);
}

static unsigned CountMidiOutputs() { return midiOutGetNumDevs(); }

MidiOutputCounter midiOutputCounter = CountMidiOutputs;

bool HasMidiOutput() { return midiOutputCounter() > 0; }
