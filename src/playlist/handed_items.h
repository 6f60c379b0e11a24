// Items that a second start of the program hands to the player already
// running, as one block of wide text: each path ends in a null character.
// Kept free of windows.h so that it builds natively for fuzzing.
#pragma once

#include <string>
#include <vector>

// Marks the block among the messages the window may be sent ("TWIT").
const unsigned long HandedItemsTag = 0x54574954;

// The most a block may hold: the list's 99 entries of the longest wide
// paths, with room to spare.
const size_t MaxHandedItemsBytes = 1 << 20;

std::wstring PackHandedItems(const std::vector<std::wstring> &items);

// The items of a block of `bytes` bytes as it came from another process:
// an odd byte at the end is dropped, a last item without its null
// character is still an item, and empty items are left out.
std::vector<std::wstring> UnpackHandedItems(const void *block, size_t bytes);
