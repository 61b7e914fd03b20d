#include "window/SkinImage.h"

void SkinImage::GetSize(int* width, int* height) const
{
    BITMAP info = {};
    if (Empty() || !GetObjectA(Handle(), sizeof info, &info)) {
        info.bmWidth = 0;
        info.bmHeight = 0;
    }
    *width = info.bmWidth;
    *height = info.bmHeight;
}

BITMAPINFO Dib32Header(int width, int height, bool topDown)
{
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = topDown ? -height : height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    return header;
}

SkinImage CreateDib32(int width, int height, void** bits)
{
    const BITMAPINFO header = Dib32Header(width, height);
    return SkinImage(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, bits, nullptr, 0));
}

bool SkinImage::LoadBitmapFile(const char* path)
{
    Reset();
    if (!path)
        return false;
    Attach(static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    return !Empty();
}
