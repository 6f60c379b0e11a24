#pragma once

// Starts playlist entry `index`, or with -1 advances: at random, or the
// same entry again in repeat mode. Entries that cannot be played are
// removed until one plays or the list is empty.
void PlayTrack(int index);
