#include "tests/window/Canvas.h"

#include "window/SkinImage.h"

Canvas::Canvas(int canvasWidth, int canvasHeight, unsigned fillColour)
    : dc(CreateCompatibleDC(nullptr)), bitmap(nullptr), previous(nullptr), bits(nullptr),
      width(canvasWidth), height(canvasHeight), fill(fillColour)
{
    const BITMAPINFO info = Dib32Header(width, height);
    void* memory = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits = static_cast<DWORD*>(memory);
    for (int i = 0; bits && i < width * height; ++i)
        bits[i] = fill;
    previous = SelectObject(dc, bitmap);
}

Canvas::~Canvas()
{
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

unsigned Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    return bits ? bits[y * width + x] & 0xFFFFFF : ~0u;
}

int Canvas::Count(unsigned colour) const
{
    GdiFlush();
    int n = 0;
    for (int i = 0; bits && i < width * height; ++i)
        n += (bits[i] & 0xFFFFFF) == colour;
    return n;
}

template <typename Match>
int Canvas::FirstColumnWhere(Match match, bool fromRight) const
{
    GdiFlush();
    for (int step = 0; bits && step < width; ++step) {
        const int x = fromRight ? width - 1 - step : step;
        for (int y = 0; y < height; ++y)
            if (match(bits[y * width + x] & 0xFFFFFF))
                return x;
    }
    return -1;
}

int Canvas::FirstColumn(unsigned colour) const
{
    return FirstColumnWhere([colour](unsigned c) { return c == colour; }, false);
}

int Canvas::LastColumn(unsigned colour) const
{
    return FirstColumnWhere([colour](unsigned c) { return c == colour; }, true);
}

int Canvas::Changed() const
{
    return bits ? width * height - Count(fill) : 0;
}

int Canvas::LeftmostChanged() const
{
    return FirstColumnWhere([this](unsigned c) { return c != fill; }, false);
}

int Canvas::RightmostChanged() const
{
    return FirstColumnWhere([this](unsigned c) { return c != fill; }, true);
}
