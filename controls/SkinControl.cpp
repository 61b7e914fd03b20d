#include "controls/SkinControl.h"

#include <utility>

#include "window/RegionFromMask.h"

ControlPieces::ControlPieces(const ControlSite& site, const ControlPlace& place)
    : main(), mask(), disabled()
{
    disabled.Attach(Cut(site.disabled, place));
    main.Attach(Cut(site.main, place));
    mask.Attach(Cut(site.mask, place));
}

HBITMAP ControlPieces::Cut(const SkinImage& picture, const ControlPlace& place)
{
    return CutImage(picture.Handle(), place.x, place.y, place.width, place.height);
}

SkinControl::SkinControl()
    : image(), mask(), imageHeight(0), imageWidth(0), disabledImage(), appActive(1)
{
}

void SkinControl::OnPaint(HDC dc)
{
    DrawImage(dc, image);
}

void SkinControl::SetAppActive(BOOL flag)
{
    appActive = flag ? 1 : 0;
    InvalidateRect(hwnd, nullptr, FALSE);
}

HWND SkinControl::CreateFromImages(DWORD exStyle, const char* name, const char* title, DWORD style,
                                   int x, int y, HWND parent, HINSTANCE moduleInstance,
                                   SkinImage newMask, SkinImage newImage)
{
    image = std::move(newImage);
    // An empty image gives a 0 by 0 window.
    image.GetSize(&imageWidth, &imageHeight);
    Create(exStyle, name, title, style, x, y, imageWidth, imageHeight, parent, nullptr,
           moduleInstance);
    if (!newMask.Empty()) {
        mask = std::move(newMask);
        ShapeWindowFromMask(hwnd, mask.Handle());
    }
    return hwnd;
}

HWND SkinControl::CreateFromFiles(DWORD exStyle, const char* name, const char* title, DWORD style,
                                  int x, int y, HWND parent, HINSTANCE moduleInstance,
                                  const char* maskPath, const char* imagePath)
{
    mask.LoadBitmapFile(maskPath);
    image.LoadBitmapFile(imagePath);
    image.GetSize(&imageWidth, &imageHeight);
    Create(exStyle, name, title, style, x, y, imageWidth, imageHeight, parent, nullptr,
           moduleInstance);
    if (maskPath)
        ShapeWindowFromMask(hwnd, mask.Handle());
    return hwnd;
}
