#include "ui/ui.h"

LRESULT CALLBACK LabelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}
