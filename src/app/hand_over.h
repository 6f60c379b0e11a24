// A second start of the program with items: the player already running
// takes them, as a drop on its window, and this process ends.
#pragma once

// Hands the items of the command-line tail, made absolute against this
// process's current folder, to a running player. False when there are no
// items, no player runs, or it has not taken them within two seconds:
// this process then becomes a player of its own.
bool HandItemsToRunningPlayer(const wchar_t *tail);
