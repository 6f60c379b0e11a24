// Whether a path names a device rather than a file. Windows takes a last
// path element named CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9 for
// that device in any folder and with any extension ("C:\Music\aux.wma" is
// the AUX port), and paths in the device namespace ("\\.\", "\\?\") name
// devices and pipes. Opening one can wait on the device for ever. Kept
// free of windows.h so that it builds natively for fuzzing.
#pragma once

// `path` is narrow text of code page 932: the second byte of a double-byte
// character (0x5C in 表) is never taken for a backslash.
bool NamesADevice(const char *path);
