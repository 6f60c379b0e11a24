#include "playback/mp3_engine.h"

template <typename T> static T Bind(const char *name, bool &complete)
{
    FARPROC entry = GetProcAddress(player.mp3Module, name);
    if (!entry)
        complete = false;
    return reinterpret_cast<T>(reinterpret_cast<void *>(entry));
}

int32_t LoadMp3Engine()
{
    if (!player.mp3Module)
        player.mp3Module = LoadLibraryA("VBMP3.dll");
    if (!player.mp3Module)
        return 0;

    bool complete = true;
    Mp3EngineBinding bound;
    bound.init = Bind<Vbmp3Init>("vbmp3_init", complete);
    bound.getVersion = Bind<Vbmp3GetVersion>("vbmp3_getVersion", complete);
    bound.open = Bind<Vbmp3Open>("vbmp3_open", complete);
    bound.play = Bind<Vbmp3Play>("vbmp3_play", complete);
    bound.getState = Bind<Vbmp3GetState>("vbmp3_getState", complete);
    bound.pause = Bind<Vbmp3Pause>("vbmp3_pause", complete);
    bound.stop = Bind<Vbmp3Stop>("vbmp3_stop", complete);
    bound.restart = Bind<Vbmp3Restart>("vbmp3_restart", complete);
    bound.seek = Bind<Vbmp3Seek>("vbmp3_seek", complete);
    bound.close = Bind<Vbmp3Close>("vbmp3_close", complete);
    bound.free = Bind<Vbmp3Free>("vbmp3_free", complete);
    bound.callback = Bind<Vbmp3Callback>("vbmp3_clallback", complete);

    // A library that lacks an entry point would crash the first call that
    // needs it: treat it as missing and call nothing of it.
    if (!complete)
        return 0;
    player.vbmp3 = bound;
    return player.vbmp3.init() == 1 ? 1 : 0;
}

int vbmp3_open(const char *path, Mp3Info *info) { return player.vbmp3.open(path, info); }
int vbmp3_play() { return player.vbmp3.play(); }
int vbmp3_getState(int *position) { return player.vbmp3.getState(position); }
int vbmp3_pause() { return player.vbmp3.pause(); }
int vbmp3_stop() { return player.vbmp3.stop(); }
int vbmp3_restart() { return player.vbmp3.restart(); }
int vbmp3_seek(int seconds) { return player.vbmp3.seek(seconds); }
int vbmp3_close() { return player.vbmp3.close(); }
int vbmp3_free() { return player.vbmp3.free(); }
