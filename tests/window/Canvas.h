#pragma once

#include <windows.h>

// A 32-bit memory bitmap selected into a memory DC, filled with one colour, for controls to paint
// into and tests to read back pixel by pixel. Colours are 0xRRGGBB as stored (blue in the low byte).
class Canvas {
public:
    Canvas(int width, int height, unsigned fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc; }
    unsigned Pixel(int x, int y) const;
    int Count(unsigned colour) const;
    // Leftmost and rightmost columns holding the colour; -1 when there is none.
    int FirstColumn(unsigned colour) const;
    int LastColumn(unsigned colour) const;
    // The same for pixels that are no longer the fill colour.
    int Changed() const;
    int LeftmostChanged() const;
    int RightmostChanged() const;

private:
    template <typename Match>
    int FirstColumnWhere(Match match, bool fromRight) const;

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    DWORD* bits;
    int width;
    int height;
    unsigned fill;
};
