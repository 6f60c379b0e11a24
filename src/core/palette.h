// The face's colours (0x00BBGGRR): one brush or pen each, made once at
// start-up, and the colour of the face's texts.
#pragma once

#include <windows.h>

// The colours of the drawing resources (0x00BBGGRR).
const COLORREF BackgroundColour = 0x00C00050;
const COLORREF LightPenColour = 0x00FF60A0;
const COLORREF DarkPenColour = 0x00600020;
const COLORREF LabelColour = 0x00004000;
const COLORREF CloseColour = 0x002070F0;
const COLORREF FrameColour = 0x00000000;
const COLORREF FaceColour = 0x00C8C0C0;
const COLORREF ActiveColour = 0x0080E040;
const COLORREF IdleColour = 0x00404040;
// The face's texts: the time and the title.
const COLORREF TextColour = 0x0000FFC0;

