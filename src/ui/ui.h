// The player's windows: the main window, its five owner-drawn children,
// the face painting, the context menu and the user's commands.
#pragma once

#include <windows.h>

// Child window ids
enum ChildId { LabelId = 1, TrackBarId = 2, CloseId = 3, PlayId = 4, PauseId = 5, StopId = 6 };

// Context menu commands; playlist entry i is FirstEntry + i.
enum MenuCommand {
    LoadFile = 11,
    ExportList = 12,
    ToggleRepeat = 13,
    RemoveCurrent = 14,
    About = 16,
    FirstEntry = 20
};

const UINT PollTimerId = 1;
const UINT PollIntervalMs = 300;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LabelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SwitchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PauseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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
void OnLButtonDblClk();
void OnRButtonDown(HWND window, LPARAM position);
void OnDropFiles(HWND window, HDROP drop);
void OnCommand(HWND window, int id);
// The media keys (media_keys.cpp): an application command, which is true
// when it was one of the player's, and a hot key by its id.
bool OnAppCommand(int command);
void OnHotKey(int id);
// Takes the media keys as hot keys for `window`, each one that no other
// program holds; UnregisterMediaKeys gives them back.
void RegisterMediaKeys(HWND window);
void UnregisterMediaKeys(HWND window);

// Layout and face
// P(D, k): D × 0.01 × k in double precision, truncated toward zero.
int Proportion(int dimension, int percent);
void LayoutChildren(int width, int height);
// Measures the client area, places the children, makes the face's fonts
// and surfaces and fills the background.
void SetUpDrawing(HWND window);

// The face's resources (face_resources.cpp). The brushes and pens are made
// at start-up before any window exists; the fonts and the frame and
// background surfaces once the main window's client size is known.
// DestroyFace releases all of them, in the reverse order.
void CreateDrawingResources();
void CreateFaceSurfaces(HWND window);
void DestroyFace();
// Composes the face into frameDC, draws the bevel on `windowDC` and shows
// the frame there at (1, 1).
void PaintFace(HDC windowDC);
bool LoadBackground(const char *path);

// Repaints the whole face, children included, before returning.
void RepaintFace();

void BuildContextMenu();
