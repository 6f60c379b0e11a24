// The main window: its procedure, its children's ids and its position
// timer. Each handler is declared beside the others of its file.
#pragma once

#include <windows.h>

// Child window ids
enum ChildId { LabelId = 1, TrackBarId = 2, CloseId = 3, PlayId = 4, PauseId = 5, StopId = 6 };

const UINT PollTimerId = 1;
const UINT PollIntervalMs = 300;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
