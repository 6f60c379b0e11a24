#pragma once

// The text after the path's last backslash; the whole path when it
// has none or when its only backslash is its first byte. Used for the title
// and for the playlist menu.
const char *DisplayName(const char *path);
