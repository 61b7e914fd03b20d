#pragma once

#include <windows.h>

#include "window/GdiCounts.h"
#include "window/Owner.h"

// Owner of one GDI bitmap (a piece from CutImage is taken with Attach or the constructor).
class SkinImage : public Owner<GdiObject<HBITMAP, GdiKind::Bitmap>> {
public:
    using Owner::Owner;

    HBITMAP Handle() const { return Get(); }
    // 0 by 0 for an empty image.
    void GetSize(int* width, int* height) const;
    // Windows bitmap files only (LoadImageA); false and empty on failure, no message.
    bool LoadBitmapFile(const char* path);
};

// Decodes a BMP, GIF or JPEG picture file (told by its first bytes, see PictureFormat) into a
// bitmap of our own. A file that cannot be opened, or whose path the disk may not name, shows
// "Could not load the file: %s" (caption "Error") and gives an empty image; a file that opens but
// is of another kind or does not decode gives an empty image without a message.
SkinImage LoadPicture(const char* path);

// A new bitmap of width x height with the source's pixel format holding the source's pixels at
// (x, y); owned by the caller. Null for a null source or a size that is not positive.
HBITMAP CutImage(HBITMAP source, int x, int y, int width, int height);

// The header of a 32-bit BI_RGB bitmap of width x height, its top row first unless `topDown` is
// false: one layout of pixels to read and write, whatever the screen's depth.
BITMAPINFO Dib32Header(int width, int height, bool topDown = true);
// A new 32-bit top-down DIB section; its pixels at *bits. Empty when it cannot be made.
SkinImage CreateDib32(int width, int height, void** bits);

// Draws the whole image opaque at (0, 0) / (x, y); an empty image draws nothing.
void DrawImage(HDC dc, const SkinImage& image);
void DrawImageAt(HDC dc, const SkinImage& image, int x, int y);
