#include "ui/ui.h"

void OnMciNotify(WPARAM) {}
