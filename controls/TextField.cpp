#include "controls/TextField.h"

#include <climits>
#include <memory>

#include "controls/SkinEntry.h"
#include "window/SkinWindow.h"
#include "window/Tooltip.h"

TextField::TextField() : textColor(0), font() {}

TextField::~TextField()
{
    font.Reset();
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

void SkinWindow::LoadTextFields()
{
    for (int number = 1;; ++number) {
        GlobalText value = ReadSkinEntry(ini, "TEXTINFO", number);
        if (!value)
            break;
        SkinEntry entry(value.Get());
        // Everything up to the initial text is required; the tooltip may be missing.
        if (!entry.Has(11))
            continue;
        auto field = std::make_unique<TextField>();
        auto tooltip = std::make_unique<Tooltip>();
        // Placed 6 pixels right of the entry's x (clamped, so a huge x cannot overflow).
        const int x = entry.Int(6) > INT_MAX - 6 ? INT_MAX : entry.Int(6) + 6;
        field->CreateTextField(0, entry.Text(0), entry.Text(0), 0, x, entry.Int(7),
                               entry.Int(8), entry.Int(9), hwnd, instance, entry.Text(1),
                               entry.Int(4), entry.Colour(5));
        tooltip->Create(field->hwnd, instance, entry.Text(11) ? entry.Text(11) : "");
        field->SetText(entry.Text(10));
        textFields.Append(std::move(field));
        tooltips.Append(std::move(tooltip));
    }
}
