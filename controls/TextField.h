#pragma once

#include <windows.h>

#include <memory>

#include "controls/SkinControl.h"
#include "controls/SkinEntry.h"
#include "controls/SkinFont.h"
#include "window/Window.h"

// One line of text (the window text) in a skin font and colour; no background of its own, so
// the parent's picture shows around the glyphs.
class TextField : public Window {
public:
    // GetWindowTextA's buffer: at most 127 characters are shown.
    static constexpr int displayCapacity = 128;

    TextField();

    // A TEXTINFO entry (name, face, two fields not read, height, colour, x, y, width, height,
    // initial text, tooltip): a field of that size 6 pixels right of x, showing its initial text.
    static std::unique_ptr<TextField> FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                                const ControlSite& site);

    // The window text (at most 127 characters) as single-line text; nothing when it is empty.
    void OnPaint(HDC dc) override;

    // CreateWindowExA's arguments without the menu; WS_CHILD | WS_VISIBLE are added to style.
    virtual HWND CreateTextField(DWORD exStyle, const char* name, const char* title, DWORD style,
                                 int x, int y, int width, int height, HWND parentWindow,
                                 HINSTANCE moduleInstance, const char* fontFace, int fontHeight,
                                 COLORREF colour);

    // Normal weight, upright.
    void MakeFont(const char* face, int height, COLORREF colour);
    // Sets the window text, then invalidates the parent (erasing) before the field, so the
    // skin under the field is repainted before the new text is drawn on it.
    void SetText(const char* text);

    COLORREF textColor;
    SkinFont font;
};
