// Paths come from the file system and the shell in their wide form; the
// rest of the program opens files through the narrow (code page 932)
// functions. This turns the one into the other without ever handing on a
// path that names a different file.
#pragma once

#include "core/player_state.h"

#include <string>

struct NarrowPath {
    // Names the same file as the wide path.
    std::string path;
    // The file's own name as far as code page 932 holds it ("Caf?.mp3"),
    // when `path` is its short form; empty when `path` shows the name itself.
    std::string title;
};

// The wide path itself when it converts exactly; otherwise its short (8.3)
// form, when that converts exactly and names the same file. False when
// neither does: the caller leaves the path out.
bool MakeNarrowPath(const std::wstring &wide, NarrowPath &out);

// The current directory as the program opens files in it, ending in a
// backslash: read in its wide form and narrowed by the rule above, so a
// folder whose own name code page 932 cannot hold is named by its short
// form rather than a look-alike. False (and empty) when no narrow path
// names it or it does not fit into a path buffer.
bool CurrentDirectoryWithBackslash(char (&out)[PathBufferSize]);

// Exactly, or not at all: the narrow functions would pick a look-alike
// ("Café" as "Cafe", "¥" as a backslash), a path to a file that does not
// exist or lies in another folder.
bool ConvertExactly(const std::wstring &wide, std::string &narrow);

// The title of an entry read in its narrow form (a list file's line): the
// file's own long name, as far as code page 932 holds it, when the path
// names the file by its short form ("CAF_~NDY.MP3" shows "Caf?.mp3").
// Empty when the path shows the name itself or names no file.
std::string TitleOfNarrowPath(const char *path);

// What can be shown of a text: every character code page 932 lacks
// becomes "?".
std::string ConvertForShowing(const std::wstring &wide);

// The narrow text in its wide form (code page 932).
std::wstring WidenText(const char *text);
