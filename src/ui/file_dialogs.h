// The open and save dialogs as the commands use them. Both leave the
// current directory where it was: relative entries resolve against it.
#pragma once

struct NarrowPath;

// Shows the open dialog (openDialog's settings, read wide so that any name
// can be chosen). True when a file was chosen that a narrow path names:
// that path is then in pathBuffer and `chosen`.
bool ChooseFileToOpen(NarrowPath &chosen);

// Shows the save dialog; true when a name was chosen (in pathBuffer).
bool ChooseListFileToSave();
