#include "controls/SkinFont.h"

#include "window/GdiCounts.h"

SkinFont::SkinFont() : font(nullptr) {}

SkinFont::SkinFont(SkinFont&& other) noexcept : font(other.font)
{
    other.font = nullptr;
}

SkinFont& SkinFont::operator=(SkinFont&& other) noexcept
{
    if (this != &other) {
        Reset();
        font = other.font;
        other.font = nullptr;
    }
    return *this;
}

SkinFont::~SkinFont()
{
    Reset();
}

bool SkinFont::Make(const char* face, int height, bool bold, bool italic)
{
    Reset();
    font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? 1 : 0, 0, 0,
                       DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0,
                       face);
    if (font)
        CountGdiObject(GdiKind::Font, 1);
    return font != nullptr;
}

void SkinFont::Reset()
{
    if (font) {
        DeleteObject(font);
        CountGdiObject(GdiKind::Font, -1);
        font = nullptr;
    }
}

void DrawSingleLineText(HDC dc, HWND window, HFONT font, COLORREF colour, const char* text)
{
    RECT client = {};
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    if (font)
        SelectObject(dc, font);
    SetTextColor(dc, colour);
    client.left += 4;
    if (text)
        DrawTextA(dc, text, lstrlenA(text), &client, DT_SINGLELINE | DT_VCENTER);
}
