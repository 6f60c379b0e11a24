// The command line's tail, split into the paths it names.
#pragma once

#include <string>
#include <vector>

// Splits a command-line tail into items: one whole-quoted path, or tokens
// separated by runs of spaces.
std::vector<std::string> SplitCommandLine(const char *tail);
std::vector<std::wstring> SplitCommandLine(const wchar_t *tail);
