#include "ui/ui.h"

int Proportion(int dimension, int percent) { return static_cast<int>(dimension * 0.01 * percent); }
void LayoutChildren(int, int) {}
