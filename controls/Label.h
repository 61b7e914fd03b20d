#pragma once

#include <windows.h>

#include "controls/SkinControl.h"
#include "controls/SkinFont.h"
#include "window/SkinImage.h"

// One line of text on a piece of the skin. The text comes with WM_SETTEXT and is shown at the
// next paint; the window title stays the label's name.
class Label : public SkinControl {
public:
    static constexpr int textCapacity = 500;  // at most 499 characters; longer texts are cut
    // Fields of a LABELINFO entry; the last one (tooltip) may be left out.
    static constexpr int entryFields = 12;

    Label();

    // WM_SETTEXT stores the text without repainting; the rest goes to Window.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc) override;
    ~Label() override;

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
    void SetAppActive(BOOL active);

    char text[textCapacity];
    COLORREF activeColor;
    COLORREF inactiveColor;
    SkinFont font;
    SkinImage disabledImage;
    int appActive;
};
