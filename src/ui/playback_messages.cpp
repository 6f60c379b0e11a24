#include "ui/ui.h"

void OnTimer() {}
void OnHScroll() {}
