// The main window: its procedure and the handlers it routes each message
// to, its children's ids and its position timer.
#pragma once

#include <windows.h>
#include <shellapi.h>

// Child window ids
enum ChildId { LabelId = 1, TrackBarId = 2, CloseId = 3, PlayId = 4, PauseId = 5, StopId = 6 };

const UINT PollTimerId = 1;
const UINT PollIntervalMs = 300;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Main window handlers
void OnCreate(HWND window);
void OnDestroy();
void OnPaint(HWND window);
void OnTimer();
void OnHScroll();
void OnMciNotify(WPARAM code);
void OnLButtonDown(HWND window, LPARAM position);
void OnMouseMove(HWND window, LPARAM position);
void OnLButtonUp();
void OnCaptureChanged(HWND window, HWND newCapture);
void OnLButtonDblClk();
void OnRButtonDown(HWND window, LPARAM position);
void OnDropFiles(HWND window, HDROP drop);
// Items a second start of the program hands over: taken as a drop of
// them. True when the message carried any.
bool OnCopyData(const COPYDATASTRUCT *data);
void OnCommand(HWND window, int id);
