#pragma once

#include <windows.h>

#include "controls/SkinControl.h"
#include "window/GlobalText.h"
#include "window/SkinImage.h"

// A piece of the skin that reacts to the mouse: it shows its pressed, hover, normal or inactive
// piece and posts WMU_BUTTON_LDOWN..WMU_BUTTON_RUP with its name to its parent, always before
// its own state changes.
class Button : public SkinControl {
public:
    // WS_CHILD | WS_VISIBLE with class-specific bits nothing reads.
    static constexpr DWORD style = 0x50004003;

    Button();

    // The mouse messages and WM_MOUSELEAVE; the rest goes to Window.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // pressedImage, else hoverImage, else image (active) or disabledImage (inactive).
    void OnPaint(HDC dc) override;
    ~Button() override;

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
    // Stores the flag and repaints without erasing.
    void SetAppActive(BOOL flag);

    SkinImage hoverImage;
    SkinImage pressedImage;
    SkinImage disabledImage;
    GlobalText name;
    HWND parent;
    BYTE pressed;
    BYTE hover;
    DWORD appActive;
    DWORD leaveTracking;

private:
    void Notify(UINT message, WPARAM wParam);
    void Repaint();
};
