#include "controls/TextField.h"

TextField::TextField() : textColor(0), font() {}

std::unique_ptr<TextField> TextField::FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                                const ControlSite& site)
{
    auto field = std::make_unique<TextField>();
    field->CreateTextField(0, entry.Text(0), entry.Text(0), 0, place.ShiftedX(), place.y,
                           place.width, place.height, site.parent, site.instance, entry.Text(1),
                           entry.Int(4), entry.Colour(5));
    field->SetText(entry.Text(10));
    return field;
}

HWND TextField::CreateTextField(DWORD exStyle, const char* name, const char* title, DWORD style,
                                int x, int y, int width, int height, HWND parentWindow,
                                HINSTANCE moduleInstance, const char* fontFace, int fontHeight,
                                COLORREF colour)
{
    HWND created = Create(exStyle, name, title, style | WS_CHILD | WS_VISIBLE, x, y, width, height,
                          parentWindow, nullptr, moduleInstance);
    MakeFont(fontFace, fontHeight, colour);
    return created;
}

void TextField::MakeFont(const char* face, int height, COLORREF colour)
{
    font.Make(face, height, false, false);
    textColor = colour;
}

void TextField::SetText(const char* text)
{
    SetWindowTextA(hwnd, text);
    InvalidateRect(GetParent(hwnd), nullptr, TRUE);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void TextField::OnPaint(HDC dc)
{
    char text[displayCapacity] = {};
    if (GetWindowTextA(hwnd, text, displayCapacity) <= 0)
        return;
    DrawSingleLineText(dc, hwnd, font.Handle(), textColor, text);
}
