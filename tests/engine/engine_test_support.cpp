#include "engine_test_support.h"

#include "common/test_support.h"

std::string Fixture(const std::string &name)
{
    return BuildFolder() + "\\fixtures\\engine\\" + name;
}

HMODULE EngineModule()
{
    static HMODULE module = LoadLibraryA((BuildFolder() + "\\VBMP3.dll").c_str());
    return module;
}

template <typename T> static T Bind(const char *name)
{
    return reinterpret_cast<T>(reinterpret_cast<void *>(GetProcAddress(EngineModule(), name)));
}

const Mp3EngineBinding &Engine()
{
    static Mp3EngineBinding bound = {
        Bind<Vbmp3Init>("vbmp3_init"),       Bind<Vbmp3GetVersion>("vbmp3_getVersion"),
        Bind<Vbmp3Open>("vbmp3_open"),       Bind<Vbmp3Play>("vbmp3_play"),
        Bind<Vbmp3GetState>("vbmp3_getState"), Bind<Vbmp3Pause>("vbmp3_pause"),
        Bind<Vbmp3Stop>("vbmp3_stop"),       Bind<Vbmp3Restart>("vbmp3_restart"),
        Bind<Vbmp3Seek>("vbmp3_seek"),       Bind<Vbmp3Close>("vbmp3_close"),
        Bind<Vbmp3Free>("vbmp3_free"),       Bind<Vbmp3Callback>("vbmp3_clallback"),
    };
    return bound;
}
