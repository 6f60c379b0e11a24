// Helpers for the face tests: a canvas the face is painted into, the time
// text's pixels, BMP files built byte by byte, and the GDI handle probe.
#pragma once

#include "common/test_support.h"

#include <cstdint>
#include <functional>
#include <string>

const COLORREF TimeColour = 0x0000FFC0;
// A colour the face never uses, to show what was not painted.
const COLORREF UntouchedColour = 0x00FF00FF;

// A bitmap of the window's size in the screen's format, filled with
// UntouchedColour.
class FaceCanvas {
  public:
    explicit FaceCanvas(int width = 250, int height = 100) : width_(width), height_(height)
    {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        Fill(UntouchedColour);
    }
    ~FaceCanvas()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    FaceCanvas(const FaceCanvas &) = delete;
    FaceCanvas &operator=(const FaceCanvas &) = delete;

    void Fill(COLORREF colour)
    {
        RECT all = {0, 0, width_, height_};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    int width() const { return width_; }
    int height() const { return height_; }

    // '#' for every pixel of `colour`, '.' for the rest, one line a row.
    std::string Mask(COLORREF colour) const
    {
        std::string mask;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x)
                mask += At(x, y) == colour ? '#' : '.';
            mask += '\n';
        }
        return mask;
    }

  private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// The time text as the face should show it: `text` drawn with timeFont
// flush right in timeRect moved one pixel right and down, over the fill
// colour.
inline std::string ExpectedTimeMask(const char *text)
{
    FaceCanvas canvas;
    canvas.Fill(BackgroundColour);
    SetTextColor(canvas.dc(), TimeColour);
    SetBkMode(canvas.dc(), TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(canvas.dc(), player.timeFont);
    RECT place = player.timeRect;
    OffsetRect(&place, 1, 1);
    DrawTextA(canvas.dc(), text, -1, &place, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    SelectObject(canvas.dc(), oldFont);
    return canvas.Mask(TimeColour);
}

// The highest of the low 16 bits of a few fresh GDI handles: they grow
// when objects leak. Freed slots are handed out again in varying order, so
// a single handle wanders by a few slots even without a leak.
inline unsigned NextGdiSlot()
{
    HBRUSH probes[16];
    unsigned highest = 0;
    for (HBRUSH &probe : probes) {
        probe = CreateSolidBrush(0);
        unsigned slot = static_cast<unsigned>(reinterpret_cast<uintptr_t>(probe) & 0xFFFF);
        highest = slot > highest ? slot : highest;
    }
    for (HBRUSH probe : probes)
        DeleteObject(probe);
    return highest;
}

// Slots a handle table may move by without any leak.
const unsigned GdiSlotSlack = 32;

// ---- BMP files ----------------------------------------------------------

inline void PutLE(std::string &bytes, size_t at, uint32_t value, int width)
{
    if (bytes.size() < at + width)
        bytes.resize(at + width, '\0');
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Four colours, one for each quarter of a picture.
const COLORREF TopLeftColour = RGB(220, 20, 60);
const COLORREF TopRightColour = RGB(30, 200, 40);
const COLORREF BottomLeftColour = RGB(20, 40, 210);
const COLORREF BottomRightColour = RGB(240, 220, 10);

inline COLORREF Quarters(int x, int y, int width, int height)
{
    bool right = x >= width / 2, bottom = y >= height / 2;
    return bottom ? (right ? BottomRightColour : BottomLeftColour) : (right ? TopRightColour : TopLeftColour);
}

// A BMP file of `bits` per pixel (8, 24 or 32) showing the four quarters;
// a negative height stores the rows top-down.
inline std::string MakeBmp(int width, int height, int bits)
{
    int rows = height < 0 ? -height : height;
    int rowBytes = (width * bits + 31) / 32 * 4;
    uint32_t paletteBytes = bits <= 8 ? 4u << bits : 0;
    uint32_t pixelOffset = 54 + paletteBytes;
    std::string bytes = "BM";
    PutLE(bytes, 2, pixelOffset + rowBytes * rows, 4);
    PutLE(bytes, 10, pixelOffset, 4);
    PutLE(bytes, 14, 40, 4);
    PutLE(bytes, 18, width, 4);
    PutLE(bytes, 22, static_cast<uint32_t>(height), 4);
    PutLE(bytes, 26, 1, 2);
    PutLE(bytes, 28, bits, 2);
    PutLE(bytes, 30, 0, 4);
    PutLE(bytes, 34, rowBytes * rows, 4);
    PutLE(bytes, 38, 2835, 4);
    PutLE(bytes, 42, 2835, 4);
    PutLE(bytes, 46, 0, 4);
    PutLE(bytes, 50, 0, 4);
    const COLORREF palette[4] = {TopLeftColour, TopRightColour, BottomLeftColour, BottomRightColour};
    for (uint32_t i = 0; i < paletteBytes / 4; ++i) {
        COLORREF c = palette[i % 4];
        PutLE(bytes, 54 + 4 * i, GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16, 4);
    }
    bytes.resize(pixelOffset + rowBytes * rows, '\0');
    for (int row = 0; row < rows; ++row) {
        int y = height < 0 ? row : rows - 1 - row; // bottom-up unless the height is negative
        for (int x = 0; x < width; ++x) {
            COLORREF c = Quarters(x, y, width, rows);
            size_t at = pixelOffset + row * rowBytes;
            if (bits == 8) {
                bytes[at + x] = static_cast<char>(c == TopLeftColour ? 0 : c == TopRightColour ? 1
                                                  : c == BottomLeftColour ? 2 : 3);
            } else {
                size_t p = at + x * (bits / 8);
                bytes[p] = static_cast<char>(GetBValue(c));
                bytes[p + 1] = static_cast<char>(GetGValue(c));
                bytes[p + 2] = static_cast<char>(GetRValue(c));
            }
        }
    }
    return bytes;
}

// Where each quarter of a picture lands on the 248 × 98 face.
struct QuarterPoint {
    int x, y;
    COLORREF colour;
};
const QuarterPoint QuarterPoints[] = {
    {60, 20, TopLeftColour}, {190, 20, TopRightColour}, {60, 80, BottomLeftColour}, {190, 80, BottomRightColour}};
