// What VBMP3.dll gives its callers. Twelve __stdcall entry points,
// exported by their bare names, all returning a 32-bit integer:
//
//   vbmp3_init()            1 when MP3 decoding and sound output can work, else 0
//   vbmp3_getVersion()      100 (version 1.00)
//   vbmp3_open(path, info)  1 opened, 0 not; fills the 272-byte InfoRecord
//                           (all zero when the file cannot be played)
//   vbmp3_play()            plays the open file from its start; non-zero when it plays
//   vbmp3_getState(&pos)    an EngineState; pos = the second being heard
//   vbmp3_pause()           pauses a playing track
//   vbmp3_restart()         plays on from the current position (paused,
//                           stopped or ended)
//   vbmp3_stop()            stops and keeps the position
//   vbmp3_seek(seconds)     moves to that second in every state; a playing
//                           track plays on from there, a paused one stays paused
//   vbmp3_close()           closes the open file
//   vbmp3_free()            closes everything; init may follow again
//   vbmp3_clallback()       does nothing, returns 0
//
// All are meant to be called from one thread; the sound is made by a
// playback thread of the engine's own.
//
// This header is the whole contract: the library defines the entry points
// declared below and exports exactly those; the program, the tests, the
// stand-in libraries and the benchmark take the types, names and record
// from here. Callers bind the entry points by name at run time
// (BindVbmp3Entries), since the program must run without the library.
#pragma once

#include <cstdint>

// What vbmp3_getState returns.
enum EngineState : int {
    StateNoTrack = 0,  // nothing open
    StatePlaying = 1,  // sound is coming out
    StatePaused = 2,   // paused, resumes where it was
    StateStopped = 3,  // open and not playing: just opened, stopped, or moved after the end
    StateEnded = 4,    // played to its end
    StateFailed = 5,   // the sound device failed
};

// The information record. The program reads only totalSeconds.
struct InfoRecord {
    uint32_t sampleRate;      // Hz
    uint32_t channels;        // 1 or 2
    uint32_t bitrate;         // kbit/s, averaged over the file
    uint32_t mpegVersion;     // 10 = MPEG-1, 20 = MPEG-2, 25 = MPEG-2.5
    uint32_t layer;           // 3
    uint32_t frames;          // audio frames
    uint32_t totalSamples;    // samples per channel, after trimming
    uint32_t totalMilliseconds;
    uint32_t encoderDelay;    // samples trimmed at the start (LAME tag)
    uint32_t encoderPadding;  // samples trimmed at the end (LAME tag)
    uint32_t flags;           // 1 variable bitrate, 2 Xing/Info header, 4 VBRI header,
                              // 8 LAME tag, 16 ID3v2 tag, 32 ID3v1 tag, 64 APE tag,
                              // 128 damaged data passed over
    uint32_t channelMode;     // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    uint32_t audioOffset;     // file offset of the first frame
    uint32_t audioBytes;      // bytes from there to the end of the audio
    uint8_t reserved[268 - 14 * 4]; // zero
    int32_t totalSeconds;     // byte 268: the length in whole seconds, truncated
};
static_assert(sizeof(InfoRecord) == 272, "the record is 272 bytes");

// The library marks its definitions for export (undecorated by the linker);
// a stand-in library builds with the same definition.
#ifdef VBMP3_EXPORTS
#define VBMP3_API __declspec(dllexport)
#else
#define VBMP3_API
#endif

extern "C" {
VBMP3_API int __stdcall vbmp3_init();
VBMP3_API int __stdcall vbmp3_getVersion();
VBMP3_API int __stdcall vbmp3_open(const char *path, InfoRecord *info);
VBMP3_API int __stdcall vbmp3_play();
VBMP3_API int __stdcall vbmp3_getState(int *position);
VBMP3_API int __stdcall vbmp3_pause();
VBMP3_API int __stdcall vbmp3_stop();
VBMP3_API int __stdcall vbmp3_restart();
VBMP3_API int __stdcall vbmp3_seek(int seconds);
VBMP3_API int __stdcall vbmp3_close();
VBMP3_API int __stdcall vbmp3_free();
VBMP3_API int __stdcall vbmp3_clallback();
}

// The twelve entry points as (field, exported name) pairs, in the order
// above: the one list that the binding record and the binder are made from.
#define VBMP3_ENTRY_POINTS(ENTRY)                                                                    \
    ENTRY(init, vbmp3_init)                                                                          \
    ENTRY(getVersion, vbmp3_getVersion)                                                              \
    ENTRY(open, vbmp3_open)                                                                          \
    ENTRY(play, vbmp3_play)                                                                          \
    ENTRY(getState, vbmp3_getState)                                                                  \
    ENTRY(pause, vbmp3_pause)                                                                        \
    ENTRY(stop, vbmp3_stop)                                                                          \
    ENTRY(restart, vbmp3_restart)                                                                    \
    ENTRY(seek, vbmp3_seek)                                                                          \
    ENTRY(close, vbmp3_close)                                                                        \
    ENTRY(free, vbmp3_free)                                                                          \
    ENTRY(callback, vbmp3_clallback)

// The entry points of a loaded library, one pointer each, typed as declared
// above.
struct Vbmp3Entries {
#define VBMP3_FIELD(field, name) decltype(&name) field;
    VBMP3_ENTRY_POINTS(VBMP3_FIELD)
#undef VBMP3_FIELD
};

// Fills `entries` from `find(name)`, which returns the address a library
// exports by that name or null (GetProcAddress on the loaded library).
// False when any entry point is missing: a library without one would crash
// the first call that needs it.
template <typename Find> bool BindVbmp3Entries(Vbmp3Entries &entries, Find find)
{
    bool complete = true;
#define VBMP3_BIND(field, name)                                                                       \
    entries.field = reinterpret_cast<decltype(&name)>(reinterpret_cast<void *>(find(#name)));         \
    complete = complete && entries.field != nullptr;
    VBMP3_ENTRY_POINTS(VBMP3_BIND)
#undef VBMP3_BIND
    return complete;
}
