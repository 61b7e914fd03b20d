#include "window/PaintBuffer.h"

#include "window/WindowDC.h"

PaintBuffer::PaintBuffer()
    : frame{nullptr, SkinImage(), nullptr}, background{nullptr, SkinImage(), nullptr}, width(0),
      height(0), backgroundSource(nullptr), ownFont(nullptr), font(nullptr)
{
}

PaintBuffer::~PaintBuffer()
{
    Reset();
}

bool PaintBuffer::Make(Surface& surface, HDC reference, int width, int height)
{
    surface.bitmap.Attach(CreateCompatibleBitmap(reference, width, height));
    surface.dc = surface.bitmap.Empty() ? nullptr : CreateCompatibleDC(reference);
    surface.ownBitmap = surface.dc ? SelectObject(surface.dc, surface.bitmap.Handle()) : nullptr;
    return surface.ownBitmap != nullptr;
}

void PaintBuffer::Release(Surface& surface)
{
    if (surface.dc) {
        if (surface.ownBitmap)
            SelectObject(surface.dc, surface.ownBitmap);
        DeleteDC(surface.dc);
    }
    surface.dc = nullptr;
    surface.ownBitmap = nullptr;
    surface.bitmap.Reset();
}

bool PaintBuffer::Create(HWND window, int newWidth, int newHeight)
{
    Reset();
    if (newWidth <= 0 || newHeight <= 0)
        return false;
    WindowDC windowDC(window);
    if (!windowDC.dc || !Make(frame, windowDC.dc, newWidth, newHeight) ||
        !Make(background, windowDC.dc, newWidth, newHeight)) {
        Reset();
        return false;
    }
    width = newWidth;
    height = newHeight;
    return true;
}

HDC PaintBuffer::BeginFrame(const SkinImage& picture, HFONT newFont)
{
    if (Empty())
        return nullptr;
    if (picture.Handle() != backgroundSource) {
        // What the picture does not cover stays black, as in a fresh bitmap.
        PatBlt(background.dc, 0, 0, width, height, BLACKNESS);
        DrawImage(background.dc, picture);
        backgroundSource = picture.Handle();
    }
    BitBlt(frame.dc, 0, 0, width, height, background.dc, 0, 0, SRCCOPY);
    UseFont(newFont);
    return frame.dc;
}

void PaintBuffer::ShowAt(HDC dc, int x, int y) const
{
    if (!Empty())
        BitBlt(dc, x, y, width, height, frame.dc, 0, 0, SRCCOPY);
}

void PaintBuffer::UseFont(HFONT newFont)
{
    if (newFont == font)
        return;
    if (!newFont) {
        ReleaseFont();
        return;
    }
    HGDIOBJ previous = SelectObject(frame.dc, newFont);
    if (!previous)
        return;
    if (!ownFont)
        ownFont = previous;
    font = newFont;
}

void PaintBuffer::ReleaseFont()
{
    if (frame.dc && ownFont)
        SelectObject(frame.dc, ownFont);
    ownFont = nullptr;
    font = nullptr;
}

void PaintBuffer::Reset()
{
    ReleaseFont();
    Release(frame);
    Release(background);
    width = 0;
    height = 0;
    backgroundSource = nullptr;
}
