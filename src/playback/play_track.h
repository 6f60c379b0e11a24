#pragma once

// Starts playlist entry `index`, or with -1 advances: at random, or the
// same entry again in repeat mode. Entries that cannot be played are
// removed until one plays or the list is empty.
void PlayTrack(int index);

// The player with nothing loaded: transport flags and title cleared, the
// time at zero, the slider disabled at 0, the face repainted. The length
// and back-end of the last track stay.
void ShowIdle();

// How PlayTrack reads an entry's attributes before any back-end sees it:
// GetFileAttributesA, unless a test stands in for the files its recorded
// back-ends "open".
typedef unsigned long (*EntryAttributesReader)(const char *path);
extern EntryAttributesReader entryAttributesReader;
