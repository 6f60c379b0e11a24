// The face's side of playback: the reports it fills in, and the slider's
// seeks.
#pragma once

#include <windows.h>

// Hands playback the face's reports, with `window` for MCI's notices.
void ListenToPlayback(HWND window);

// WM_HSCROLL from the slider: a seek, while playing.
void OnHScroll();
