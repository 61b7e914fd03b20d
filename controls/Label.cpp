#include "controls/Label.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "controls/SkinEntry.h"
#include "window/SkinWindow.h"
#include "window/Tooltip.h"

namespace {

// The window sits this far right of the rectangle its pictures were cut from.
const int skinShift = 6;

bool IsTrue(const char* flag)
{
    return flag && _stricmp(flag, "TRUE") == 0;
}

}  // namespace

Label::Label()
    : text(), activeColor(0), inactiveColor(0), font(), disabledImage(), appActive(1)
{
}

Label::~Label()
{
    font.Reset();
    disabledImage.Reset();
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
    font.Make(face, height, IsTrue(bold), IsTrue(italic));
    activeColor = newActiveColor;
    inactiveColor = newInactiveColor;
}

void Label::SetText(const char* newText)
{
    snprintf(text, sizeof text, "%s", newText ? newText : "");
}

void Label::SetAppActive(BOOL active)
{
    appActive = active ? 1 : 0;
    InvalidateRect(hwnd, nullptr, FALSE);
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
    DrawImage(dc, appActive ? image : disabledImage);
    DrawSingleLineText(dc, hwnd, font.Handle(), appActive ? activeColor : inactiveColor, text);
}

void SkinWindow::LoadLabels()
{
    for (int number = 1;; ++number) {
        GlobalText value = ReadSkinEntry(ini, "LABELINFO", number);
        if (!value)
            break;
        SkinEntry entry(value.Get());
        if (!entry.Has(Label::entryFields - 1))
            continue;
        std::unique_ptr<Label> label = std::make_unique<Label>();
        std::unique_ptr<Tooltip> tooltip = std::make_unique<Tooltip>();
        int x = entry.Int(7);
        int y = entry.Int(8);
        int width = entry.Int(9);
        int height = entry.Int(10);
        ControlPieces pieces = CutPieces(x, y, width, height);
        HWND created = label->CreateLabel(
            0, entry.Text(0), entry.Text(0), 0, x + skinShift, y, width, height, hwnd, instance,
            std::move(pieces.mask), std::move(pieces.main), std::move(pieces.disabled), entry.Text(1),
            entry.Int(4), entry.Colour(5), entry.Colour(6), entry.Text(2), entry.Text(3));
        tooltip->Create(created, instance, entry.Text(11) ? entry.Text(11) : "");
        labels.Append(std::move(label));
        tooltips.Append(std::move(tooltip));
    }
}
