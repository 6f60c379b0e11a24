#include "ui/ui.h"

bool LoadBackground(const char *) { return false; }
