#include "playlist/playlist.h"

void ScanFolder(const char *) {}
