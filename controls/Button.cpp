#include "controls/Button.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "controls/SkinEntry.h"
#include "window/MessageBoxSeam.h"
#include "window/SkinWindow.h"
#include "window/Tooltip.h"

#ifndef _WIN64
static_assert(sizeof(TRACKMOUSEEVENT) == 16, "the mouse tracking record of a 32-bit program");
#endif

Button::Button()
    : hoverImage(), pressedImage(), disabledImage(), name(), parent(nullptr), pressed(0), hover(0),
      appActive(1), leaveTracking(0)
{
}

Button::~Button()
{
    hoverImage.Reset();
    pressedImage.Reset();
    disabledImage.Reset();
    name.Reset();
}

HWND Button::CreateButton(const char* buttonName, int x, int y, HWND parentWindow,
                          HINSTANCE moduleInstance, SkinImage maskPiece, SkinImage imagePiece,
                          SkinImage pressedPiece, SkinImage hoverPiece, SkinImage disabledPiece)
{
    HWND created = CreateFromImages(0, buttonName, buttonName, style, x, y, parentWindow,
                                    moduleInstance, std::move(maskPiece), std::move(imagePiece));
    parent = parentWindow;
    name = GlobalText::Copy(buttonName);
    pressedImage = std::move(pressedPiece);
    hoverImage = std::move(hoverPiece);
    disabledImage = std::move(disabledPiece);
    return created;
}

HWND Button::CreateButtonFromFiles(const char* buttonName, DWORD options, int x, int y,
                                   HWND parentWindow, HINSTANCE moduleInstance,
                                   const char* maskPath, const char* imagePath,
                                   const char* pressedPath, const char* hoverPath,
                                   const char* disabledPath)
{
    HWND created = CreateFromFiles(0, buttonName, buttonName, style, x, y, parentWindow,
                                   moduleInstance, maskPath, imagePath);
    parent = parentWindow;
    name = GlobalText::Copy(buttonName);
    pressedImage.LoadBitmapFile(pressedPath);
    if (options & 0x800)
        hoverImage.LoadBitmapFile(hoverPath);
    disabledImage.LoadBitmapFile(disabledPath);
    return created;
}

void Button::SetAppActive(BOOL flag)
{
    appActive = flag ? 1 : 0;
    Repaint();
}

void Button::Repaint()
{
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Button::Notify(UINT message, WPARAM wParam)
{
    // A full queue loses the notice; the look changes all the same.
    PostMessageA(parent, message, wParam, reinterpret_cast<LPARAM>(name.Get()));
}

LRESULT Button::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(wParam, lParam);
    case WM_RBUTTONDOWN:
        return OnRButtonDown(wParam, lParam);
    case WM_RBUTTONUP:
        return OnRButtonUp(wParam, lParam);
    case WM_MOUSELEAVE:
        hover = 0;
        pressed = 0;
        InvalidateRect(window, nullptr, FALSE);
        leaveTracking = 0;
        return 0;
    default:
        return SkinControl::WindowProc(window, message, wParam, lParam);
    }
}

int Button::OnMouseMove(WPARAM wParam, LPARAM)
{
    if (!leaveTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd;
        if (!_TrackMouseEvent(&track))
            ShowMessageBox(parent, "TrackMouseEvent Failed", "Error", MB_OK);
        // Set even after a failure: the attempt is made once.
        leaveTracking = 1;
    }
    // A move with only the left button held keeps the look (a press in progress, or a drag
    // that began elsewhere).
    if (wParam != MK_LBUTTON) {
        pressed = 0;
        hover = 1;
        Repaint();
    }
    return 0;
}

int Button::OnLButtonDown(WPARAM wParam, LPARAM)
{
    Notify(WMU_BUTTON_LDOWN, wParam);
    pressed = 1;
    Repaint();
    return 0;
}

int Button::OnLButtonUp(WPARAM wParam, LPARAM)
{
    Notify(WMU_BUTTON_LUP, wParam);
    pressed = 0;
    Repaint();
    return 0;
}

int Button::OnRButtonDown(WPARAM wParam, LPARAM)
{
    Notify(WMU_BUTTON_RDOWN, wParam);
    return 0;
}

int Button::OnRButtonUp(WPARAM wParam, LPARAM)
{
    Notify(WMU_BUTTON_RUP, wParam);
    return 0;
}

void Button::OnPaint(HDC dc)
{
    if (pressed)
        DrawImage(dc, pressedImage);
    else if (hover)
        DrawImage(dc, hoverImage);
    else if (appActive)
        DrawImage(dc, image);
    else
        DrawImage(dc, disabledImage);
}

void SkinWindow::LoadButtons()
{
    for (int number = 1;; ++number) {
        GlobalText value = ReadSkinEntry(ini, "BUTTONINFO", number);
        if (!value)
            break;
        SkinEntry entry(value.Get());
        // name, x, y, width, height are required; the tooltip may be missing.
        if (!entry.Has(5))
            continue;
        const int x = entry.Int(1), y = entry.Int(2), width = entry.Int(3), height = entry.Int(4);
        auto button = std::make_unique<Button>();
        auto tooltip = std::make_unique<Tooltip>();
        ControlPieces pieces = CutPieces(x, y, width, height);
        SkinImage hoverPiece(CutImage(overImage.Handle(), x, y, width, height));
        SkinImage pressedPiece(CutImage(downImage.Handle(), x, y, width, height));
        button->CreateButton(entry.Text(0), x, y, hwnd, instance, std::move(pieces.mask),
                             std::move(pieces.main), std::move(pressedPiece),
                             std::move(hoverPiece), std::move(pieces.disabled));
        tooltip->Create(button->hwnd, instance, entry.Text(5) ? entry.Text(5) : "");
        buttons.Append(std::move(button));
        tooltips.Append(std::move(tooltip));
    }
}
