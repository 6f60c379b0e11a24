// What the player does with a path the user hands it, by a drop or through
// the open dialog.
#pragma once

#include "core/paths.h"

// Loads the picture as the face's background and shows it at once.
void ShowBackgroundPicture(const char *path);

// Replaces the playlist by the list file and plays from it, if anything
// was read.
void PlayListFile(const char *path);

// Appends the path with its title, after emptying the list unless
// `keepList`, and plays the new entry.
void PlayAddedPath(const char *path, const char *title, bool keepList);
