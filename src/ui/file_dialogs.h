// The open and save dialogs as the commands use them. Both leave the
// current directory where it was: relative entries resolve against it.
#pragma once

#include <string>

struct NarrowPath;

// Shows the open dialog (openDialog's settings, read wide so that any name
// can be chosen). True when a file was chosen that a narrow path names:
// that path is then in pathBuffer and `chosen`.
bool ChooseFileToOpen(NarrowPath &chosen);

// Shows the save dialog (saveDialog's settings, read wide so that any name
// can be typed). True when a name was chosen: exactly that name is in
// `chosen`, and in pathBuffer as well when a narrow path holds it.
bool ChooseListFileToSave(std::wstring &chosen);
