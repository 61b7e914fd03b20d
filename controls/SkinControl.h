#pragma once

#include <windows.h>

#include "controls/ControlEntry.h"
#include "window/SkinImage.h"
#include "window/Window.h"

// What a control made from a skin entry takes from its skinned window: the window it becomes a
// child of, the instance, and the skin's five full-window pictures its pieces are cut from.
struct ControlSite {
    HWND parent;
    HINSTANCE instance;
    const SkinImage& main;
    const SkinImage& mask;
    const SkinImage& over;
    const SkinImage& down;
    const SkinImage& disabled;
};

// The pieces of the Main, Mask and Disabled pictures under one control's rectangle; a piece is
// empty where its picture is.
struct ControlPieces {
    ControlPieces(const ControlSite& site, const ControlPlace& place);
    // A new bitmap of the picture's pixels under the place (CutImage), owned by the caller.
    static HBITMAP Cut(const SkinImage& picture, const ControlPlace& place);

    SkinImage main;
    SkinImage mask;
    SkinImage disabled;
};

// A window that shows one picture, is exactly as large as it, and may be shaped by a mask
// (pure white mask pixels are cut away). Base of the skinned window and the picture controls,
// which all show their Disabled look while the application is in the background.
class SkinControl : public Window {
public:
    SkinControl();

    // Draws image whole at (0, 0); nothing when it is empty.
    void OnPaint(HDC dc) override;

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

    // Stores whether the application is active and repaints without erasing.
    void SetAppActive(BOOL flag);
    // image while the application is active, else disabledImage.
    const SkinImage& Look() const { return appActive ? image : disabledImage; }

    SkinImage image;
    SkinImage mask;
    int imageHeight;
    int imageWidth;
    SkinImage disabledImage;
    int appActive;
};
