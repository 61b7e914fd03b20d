#pragma once

#include <windows.h>

// Owner of one control font. Move-only.
class SkinFont {
public:
    SkinFont();
    SkinFont(SkinFont&& other) noexcept;
    SkinFont& operator=(SkinFont&& other) noexcept;
    SkinFont(const SkinFont&) = delete;
    SkinFont& operator=(const SkinFont&) = delete;
    ~SkinFont();

    // Deletes the font held before, then CreateFontA(height, 0, 0, 0, bold ? 700 : 400,
    // italic ? 1 : 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
    // ANTIALIASED_QUALITY, 0, face). Text fields pass bold and italic false.
    bool Make(const char* face, int height, bool bold, bool italic);
    HFONT Handle() const { return font; }
    void Reset();

    HFONT font;
};

// One line of text in the control's client area: transparent background, the font selected (and
// left selected), the colour set, the left edge moved 4 pixels right, DT_SINGLELINE | DT_VCENTER.
void DrawSingleLineText(HDC dc, HWND window, HFONT font, COLORREF colour, const char* text);
