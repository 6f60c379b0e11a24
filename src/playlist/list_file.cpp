#include "playlist/playlist.h"

void LoadPlaylistFile(const char *) {}
void SavePlaylistFile(const char *) {}
