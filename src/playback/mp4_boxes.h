// A look at an MP4 (M4A) file's top-level boxes before it goes to the
// platform's media player.
#pragma once

#include <string>

// True only when the file is plainly an MP4 (it starts with a file type
// box) whose top-level boxes run to its end, or past it, without a media
// data box: it holds no sound. Wine's media player waits for ever in the
// open of such a file, a cut-off download say, where it fails or plays
// what there is of any other. A file that cannot be read, or is not
// boxes, is not judged.
bool HoldsNoMediaData(const std::string &path);
