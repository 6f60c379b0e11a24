// The command line's tail, split into the paths it names.
#pragma once

#include <string>
#include <vector>

// Splits a command-line tail into items at runs of spaces outside double
// quotes; the quotes themselves are dropped. Tabs are ordinary characters
// and backslashes are never escapes.
std::vector<std::string> SplitCommandLine(const char *tail);
std::vector<std::wstring> SplitCommandLine(const wchar_t *tail);
