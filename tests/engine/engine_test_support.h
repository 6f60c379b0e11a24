// What the engine tests share: where the fixtures and the built library
// are, and the library loaded by its full path.
#pragma once

#include "vbmp3.h"

#include <windows.h>

#include <string>

// An MP3 fixture made by make_fixtures.sh.
std::string Fixture(const std::string &name);

// build/VBMP3.dll, loaded once and bound like the program binds it.
const Vbmp3Entries &Engine();
HMODULE EngineModule();
