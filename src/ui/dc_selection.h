// Painting's borrowed settings of a device context, each put back as the
// scope that set it ends: a GDI object is never left selected where it
// may later be deleted, and the window's DC is handed back as it came.
#pragma once

#include <windows.h>

// An object selected into the DC; Select swaps in another of its kind.
struct ScopedSelection {
    ScopedSelection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(dc, previous); }
    ScopedSelection(const ScopedSelection &) = delete;
    ScopedSelection &operator=(const ScopedSelection &) = delete;
    void Select(HGDIOBJ object) { SelectObject(dc, object); }

    HDC dc;
    HGDIOBJ previous;
};

// Text in `colour` over whatever lies beneath it.
struct ScopedTextStyle {
    ScopedTextStyle(HDC dc, COLORREF colour)
        : dc(dc), previousColour(SetTextColor(dc, colour)), previousMode(SetBkMode(dc, TRANSPARENT))
    {
    }
    ~ScopedTextStyle()
    {
        SetBkMode(dc, previousMode);
        SetTextColor(dc, previousColour);
    }
    ScopedTextStyle(const ScopedTextStyle &) = delete;
    ScopedTextStyle &operator=(const ScopedTextStyle &) = delete;
    void Colour(COLORREF colour) { SetTextColor(dc, colour); }

    HDC dc;
    COLORREF previousColour;
    int previousMode;
};
