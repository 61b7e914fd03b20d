#include "window/SkinImage.h"

#include "window/GdiCounts.h"

SkinImage::SkinImage() : bitmap(nullptr) {}

SkinImage::SkinImage(HBITMAP adopted) : bitmap(nullptr)
{
    Attach(adopted);
}

SkinImage::SkinImage(SkinImage&& other) noexcept : bitmap(other.bitmap)
{
    other.bitmap = nullptr;
}

SkinImage& SkinImage::operator=(SkinImage&& other) noexcept
{
    if (bitmap != other.bitmap) {
        Reset();
        bitmap = other.bitmap;
        other.bitmap = nullptr;
    }
    return *this;
}

SkinImage::~SkinImage()
{
    Reset();
}

void SkinImage::Attach(HBITMAP adopted)
{
    if (adopted == bitmap)
        return;
    Reset();
    bitmap = adopted;
    if (bitmap)
        CountGdiObject(GdiKind::Bitmap, 1);
}

void SkinImage::GetSize(int* width, int* height) const
{
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) {
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
    Attach(static_cast<HBITMAP>(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    return bitmap != nullptr;
}

void SkinImage::Reset()
{
    if (bitmap) {
        DeleteObject(bitmap);
        CountGdiObject(GdiKind::Bitmap, -1);
        bitmap = nullptr;
    }
}
