// The one call playback makes up into the windows: a track that starts,
// pauses or stops shows it at once. The face defines it.
#pragma once

// Repaints the whole face, children included, before returning.
void RepaintFace();
