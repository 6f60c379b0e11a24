// What the five owner-drawn children share: painting at their own size,
// the button body, one paint function per control (a function of a device
// context, so that any DC can be painted), and the label's counter text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The five children's window procedures.
LRESULT CALLBACK LabelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SwitchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PauseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The counter's room: 11 characters and the terminator.
const int CounterTextSize = 12;

// "%02d/%02d" from the 1-based entry number and the playlist count.
void FormatCounter(char (&text)[CounterTextSize], uint32_t currentIndex, size_t count);

void PaintButtonBody(HDC dc, int width, int height, HBRUSH faceBrush);
void PaintCloseButton(HDC dc, int width, int height);
void PaintPlayButton(HDC dc, int width, int height);
void PaintPauseButton(HDC dc, int width, int height);
void PaintStopButton(HDC dc, int width, int height);
void PaintLabel(HDC dc, int width, int height);

// Begins painting `window`, paints it at the size of its window rectangle
// (the controls have no border, so that is also their client size) and ends.
void PaintControl(HWND window, void (*paint)(HDC dc, int width, int height));

// What a left-button press on the play, pause and stop buttons does; the
// media keys press them too. Each does nothing in a state it does not
// apply to.
void PressPlay();
void PressPause();
void PressStop();
