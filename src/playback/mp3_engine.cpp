#include "playback/mp3_engine.h"

bool LoadMp3Engine()
{
    if (!player.mp3Module)
        player.mp3Module = LoadLibraryA("VBMP3.dll");
    if (!player.mp3Module)
        return false;

    Vbmp3Entries bound;
    bool complete = BindVbmp3Entries(bound, [](const char *name) { return GetProcAddress(player.mp3Module, name); });
    // A library that lacks an entry point would crash the first call that
    // needs it: treat it as missing and call nothing of it.
    if (!complete)
        return false;
    player.vbmp3 = bound;
    return true;
}

bool Mp3EngineReady()
{
    if (!player.mp3EngineAsked) {
        player.mp3EngineAsked = 1;
        if (!player.mp3EngineAvailable && LoadMp3Engine())
            player.mp3EngineAvailable = player.vbmp3.init() == 1 ? 1 : 0;
    }
    return player.mp3EngineAvailable != 0;
}

void UnloadMp3Engine()
{
    // A library that is not ready, or was never asked, is not called here.
    if (player.mp3EngineAvailable)
        player.vbmp3.free();
    if (!player.mp3Module)
        return;
    FreeLibrary(player.mp3Module);
    player.mp3Module = nullptr;
    // The bound entry points lived in the library.
    player.vbmp3 = Vbmp3Entries();
    player.mp3EngineAvailable = 0;
}
