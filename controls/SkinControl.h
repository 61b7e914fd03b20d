#pragma once

#include <windows.h>

#include "window/SkinImage.h"
#include "window/Window.h"

// A window that shows one picture, is exactly as large as it, and may be shaped by a mask
// (pure white mask pixels are cut away). Base of the skinned window and the picture controls.
class SkinControl : public Window {
public:
    SkinControl();

    // Draws image whole at (0, 0); nothing when it is empty.
    void OnPaint(HDC dc) override;
    // Releases image and mask; then the Window part runs.
    ~SkinControl() override;

    // The same as CreateFromImages with both pictures loaded from Windows bitmap files; a file
    // that cannot be loaded leaves its picture empty. maskPath may be null (no shape).
    virtual HWND CreateFromFiles(DWORD exStyle, const char* className, const char* title,
                                 DWORD style, int x, int y, HWND parent, HINSTANCE instance,
                                 const char* maskPath, const char* imagePath);

    // Takes over both pictures, creates the window with the image's size (0 by 0 for an empty
    // image) and shapes it by a non-empty mask.
    HWND CreateFromImages(DWORD exStyle, const char* className, const char* title, DWORD style,
                          int x, int y, HWND parent, HINSTANCE instance, SkinImage mask,
                          SkinImage image);

    SkinImage image;
    SkinImage mask;
    int imageHeight;
    int imageWidth;
};
