#pragma once

#include <windows.h>

#include <memory>

#include "controls/SkinControl.h"
#include "controls/SkinEntry.h"
#include "controls/SkinFont.h"
#include "window/SkinImage.h"

// One line of text on a piece of the skin. The text comes with WM_SETTEXT and is shown at the
// next paint; the window title stays the label's name.
class Label : public SkinControl {
public:
    static constexpr int textCapacity = 500;  // at most 499 characters; longer texts are cut

    Label();

    // A LABELINFO entry (name, face, bold, italic, height, active and inactive colour, x, y,
    // width, height, tooltip): a label 6 pixels right of x showing the pieces under its rectangle.
    static std::unique_ptr<Label> FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                            const ControlSite& site);

    // WM_SETTEXT stores the text without repainting; the rest goes to Window.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc) override;

    // The window takes the size of image; width and height are not used.
    virtual HWND CreateLabel(DWORD exStyle, const char* className, const char* title, DWORD style,
                             int x, int y, int width, int height, HWND parent,
                             HINSTANCE moduleInstance, SkinImage maskImage, SkinImage newImage,
                             SkinImage newDisabledImage, const char* fontFace, int fontHeight,
                             COLORREF newActiveColor, COLORREF newInactiveColor, const char* bold,
                             const char* italic);

    void MakeFont(const char* face, int height, COLORREF newActiveColor, COLORREF newInactiveColor,
                  const char* bold, const char* italic);
    // A null text empties the label.
    void SetText(const char* newText);

    char text[textCapacity];
    COLORREF activeColor;
    COLORREF inactiveColor;
    SkinFont font;
};
