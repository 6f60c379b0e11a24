// The command-line tail: the process's own command line without the
// program's name and the blanks after it. Kept free of windows.h so that
// it builds natively for fuzzing.
#pragma once

// Skips the program name (quoted: through its closing quote; unquoted: up
// to the first space or tab), then the spaces and tabs that follow. Works
// on whole characters: no part of a Japanese character is ever taken for
// a blank, as the runtime's own tail does with every byte from 0x80 up.
const wchar_t *CommandTail(const wchar_t *commandLine);
