// The shell and the common dialogs, loaded when first needed: a player
// that is only listened to never needs them, and they bring OLE and the
// printing libraries with them.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

// Lets the window take dropped files (the window style is all it takes;
// the shell is needed only to read a drop).
void AcceptDrops(HWND window);
// DragQueryFileW and DragFinish; a shell that cannot be loaded reads as a
// drop of nothing.
UINT QueryDroppedFile(HDROP drop, UINT index, wchar_t *file, UINT size);
void FinishDrop(HDROP drop);
// GetOpenFileNameW and GetSaveFileNameW; FALSE when the dialogs cannot be
// loaded, as when the user cancels.
BOOL ShowOpenFileDialog(OPENFILENAMEW *dialog);
BOOL ShowSaveFileDialog(OPENFILENAMEW *dialog);
