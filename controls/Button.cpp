#include "controls/Button.h"

#include <commctrl.h>

#include <utility>

#include "window/MessageBoxSeam.h"

#ifndef _WIN64
static_assert(sizeof(TRACKMOUSEEVENT) == 16, "the mouse tracking record of a 32-bit program");
#endif

Button::Button()
    : hoverImage(), pressedImage(), name(), parent(nullptr), pressed(0), hover(0), leaveTracking(0)
{
}

std::unique_ptr<Button> Button::FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                          const ControlSite& site)
{
    auto button = std::make_unique<Button>();
    ControlPieces pieces(site, place);
    SkinImage hoverPiece(ControlPieces::Cut(site.over, place));
    SkinImage pressedPiece(ControlPieces::Cut(site.down, place));
    button->CreateButton(entry.Text(0), place.x, place.y, site.parent, site.instance,
                         std::move(pieces.mask), std::move(pieces.main), std::move(pressedPiece),
                         std::move(hoverPiece), std::move(pieces.disabled));
    return button;
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
    else
        DrawImage(dc, Look());
}
