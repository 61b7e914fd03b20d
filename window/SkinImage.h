#pragma once

#include <windows.h>

// Owner of one GDI bitmap: moved, never copied; each bitmap is deleted once, by its last owner.
class SkinImage {
public:
    SkinImage();
    explicit SkinImage(HBITMAP adopted);
    SkinImage(SkinImage&& other) noexcept;
    // Equal handles: nothing happens. Else the own bitmap goes and the source's is taken.
    SkinImage& operator=(SkinImage&& other) noexcept;
    SkinImage(const SkinImage&) = delete;
    SkinImage& operator=(const SkinImage&) = delete;
    ~SkinImage();

    // Takes a raw bitmap (e.g. a piece from CutImage); a different bitmap held before is deleted.
    void Attach(HBITMAP adopted);
    HBITMAP Handle() const { return bitmap; }
    bool Empty() const { return bitmap == nullptr; }
    // 0 by 0 for an empty image.
    void GetSize(int* width, int* height) const;
    // Windows bitmap files only (LoadImageA); false and empty on failure, no message.
    bool LoadBitmapFile(const char* path);
    // Deletes the bitmap and leaves the image empty.
    void Reset();

    HBITMAP bitmap;
};

// Decodes any picture file the OLE picture decoder reads (BMP, GIF, JPEG...) into a bitmap of our
// own. A file that cannot be opened shows "Could not load the file: %s" (caption "Error") and gives
// an empty image; a file that opens but does not decode gives an empty image without a message.
SkinImage LoadPicture(const char* path);

// A new bitmap of width x height with the source's pixel format holding the source's pixels at
// (x, y); owned by the caller. Null for a null source or a size that is not positive.
HBITMAP CutImage(HBITMAP source, int x, int y, int width, int height);

// Draws the whole image opaque at (0, 0) / (x, y); an empty image draws nothing.
void DrawImage(HDC dc, const SkinImage& image);
void DrawImageAt(HDC dc, const SkinImage& image, int x, int y);
