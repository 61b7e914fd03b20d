#include "controls/Label.h"

#include <cstdio>
#include <utility>

#include "descriptor/EntryText.h"

Label::Label() : text(), activeColor(0), inactiveColor(0), font() {}

std::unique_ptr<Label> Label::FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                        const ControlSite& site)
{
    auto label = std::make_unique<Label>();
    ControlPieces pieces(site, place);
    label->CreateLabel(0, entry.Text(0), entry.Text(0), 0, place.ShiftedX(), place.y, place.width,
                       place.height, site.parent, site.instance, std::move(pieces.mask),
                       std::move(pieces.main), std::move(pieces.disabled), entry.Text(1),
                       entry.Int(4), entry.Colour(5), entry.Colour(6), entry.Text(2),
                       entry.Text(3));
    return label;
}

HWND Label::CreateLabel(DWORD exStyle, const char* name, const char* title, DWORD style, int x,
                        int y, int, int, HWND parent, HINSTANCE moduleInstance,
                        SkinImage maskImage, SkinImage newImage, SkinImage newDisabledImage,
                        const char* fontFace, int fontHeight, COLORREF newActiveColor,
                        COLORREF newInactiveColor, const char* bold, const char* italic)
{
    HWND created = CreateFromImages(exStyle, name, title, style | WS_CHILD | WS_VISIBLE, x, y,
                                    parent, moduleInstance, std::move(maskImage),
                                    std::move(newImage));
    disabledImage = std::move(newDisabledImage);
    MakeFont(fontFace, fontHeight, newActiveColor, newInactiveColor, bold, italic);
    return created;
}

void Label::MakeFont(const char* face, int height, COLORREF newActiveColor,
                     COLORREF newInactiveColor, const char* bold, const char* italic)
{
    font.Make(face, height, EntryFlag(bold), EntryFlag(italic));
    activeColor = newActiveColor;
    inactiveColor = newInactiveColor;
}

void Label::SetText(const char* newText)
{
    snprintf(text, sizeof text, "%s", newText ? newText : "");
}

LRESULT Label::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        SetText(reinterpret_cast<const char*>(lParam));
        return TRUE;
    }
    return Window::WindowProc(window, message, wParam, lParam);
}

void Label::OnPaint(HDC dc)
{
    DrawImage(dc, Look());
    DrawSingleLineText(dc, hwnd, font.Handle(), appActive ? activeColor : inactiveColor, text);
}
