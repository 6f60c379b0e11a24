#include "ui/ui.h"

#include <shellapi.h>

void OnDropFiles(HWND, HDROP drop) { DragFinish(drop); }
