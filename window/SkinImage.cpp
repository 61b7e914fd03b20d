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

bool SkinImage::LoadBitmapFile(const char* path)
{
    Reset();
    if (!path)
        return false;
    Attach(static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    return !Empty();
}
