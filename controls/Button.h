#pragma once

#include <windows.h>

#include <memory>

#include "controls/SkinControl.h"
#include "controls/SkinEntry.h"
#include "window/GlobalText.h"
#include "window/SkinImage.h"

// Notifications a button posts to its skinned window; lParam points to the button's name.
const UINT WMU_BUTTON_LDOWN = WM_USER + 1;
const UINT WMU_BUTTON_RDOWN = WM_USER + 2;
const UINT WMU_BUTTON_LUP = WM_USER + 3;
const UINT WMU_BUTTON_RUP = WM_USER + 4;

// A piece of the skin that reacts to the mouse: it shows its pressed, hover, normal or inactive
// piece and posts WMU_BUTTON_LDOWN..WMU_BUTTON_RUP with its name to its parent, always before
// its own state changes.
class Button : public SkinControl {
public:
    // WS_CHILD | WS_VISIBLE with class-specific bits nothing reads.
    static constexpr DWORD style = 0x50004003;

    Button();

    // A BUTTONINFO entry (name, x, y, width, height, tooltip): a button at (x, y) showing the
    // pieces of the skin's pictures under its rectangle.
    static std::unique_ptr<Button> FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                             const ControlSite& site);

    // The mouse messages and WM_MOUSELEAVE; the rest goes to Window.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // pressedImage, else hoverImage, else image (active) or disabledImage (inactive).
    void OnPaint(HDC dc) override;

    virtual int OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual int OnRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual int OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual int OnRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual int OnLButtonDown(WPARAM wParam, LPARAM lParam);
    // Pictures from Windows bitmap files; the hover file is read only when options has 0x800.
    virtual HWND CreateButtonFromFiles(const char* buttonName, DWORD options, int x, int y,
                                       HWND parentWindow, HINSTANCE moduleInstance,
                                       const char* maskPath, const char* imagePath,
                                       const char* pressedPath, const char* hoverPath,
                                       const char* disabledPath);

    // Takes over the five pieces; the window is as large as image and shaped by mask.
    HWND CreateButton(const char* buttonName, int x, int y, HWND parentWindow,
                      HINSTANCE moduleInstance, SkinImage maskPiece, SkinImage imagePiece,
                      SkinImage pressedPiece, SkinImage hoverPiece, SkinImage disabledPiece);

    SkinImage hoverImage;
    SkinImage pressedImage;
    GlobalText name;
    HWND parent;
    BYTE pressed;
    BYTE hover;
    DWORD leaveTracking;

private:
    void Notify(UINT message, WPARAM wParam);
    void Repaint();
};
