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

static Vbmp3Entries BindEngine()
{
    Vbmp3Entries bound;
    BindVbmp3Entries(bound, [](const char *name) { return GetProcAddress(EngineModule(), name); });
    return bound;
}

const Vbmp3Entries &Engine()
{
    static Vbmp3Entries bound = BindEngine();
    return bound;
}
