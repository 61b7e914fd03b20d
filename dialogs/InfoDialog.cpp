#include "dialogs/InfoDialog.h"

#include <cstring>

#include "descriptor/EntryText.h"
#include "dialogs/InfoDialogList.h"

InfoDialog::InfoDialog()
    : list(nullptr), number(-1), scrollerWindow(nullptr), text(nullptr), shown(0), name(nullptr),
      dx(0), dy(0), ownerWindow(nullptr), placed(0)
{
}

LRESULT InfoDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        return 0;
    return SkinWindow::WindowProc(window, message, wParam, lParam);
}

void InfoDialog::OnKeyDown(WPARAM wParam, LPARAM)
{
    if (wParam == VK_ESCAPE)
        Hide();
}

int InfoDialog::OnButtonClick(const char* buttonName)
{
    if (buttonName && strcmp(buttonName, "BUTTON_CLOSE") == 0)
        Hide();
    return 0;
}

HWND InfoDialog::CreateOwnedFromSkin(const char* className, int x, int y, HINSTANCE moduleInstance,
                                     HWND owner, const char* iniPath)
{
    return CreateWithOwner(className, x, y, moduleInstance, owner, iniPath);
}

void InfoDialog::Attach(InfoDialogList* newList, HWND owner, int newNumber, const char* newName,
                        const char* newText, int newDx, int newDy)
{
    list = newList;
    ownerWindow = owner;
    number = newNumber;
    name = newName;
    text = newText;
    dx = newDx;
    dy = newDy;
    scrollerWindow = hwnd ? FindWindowExA(hwnd, nullptr, "TEXT_SCROLLER", nullptr) : nullptr;
}

void InfoDialog::Show()
{
    if (shown)
        return;
    if (scrollerWindow)
        SendMessageA(scrollerWindow, WM_SETTEXT, 1, reinterpret_cast<LPARAM>(text));
    if (!placed) {
        placed = 1;
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(ownerWindow, &placement);
        SetWindowPos(hwnd, HWND_NOTOPMOST, placement.rcNormalPosition.left + dx,
                     placement.rcNormalPosition.top + dy, 0, 0, SWP_NOSIZE);
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);
    shown = 1;
    if (list)
        list->MarkShown(number);
}

void InfoDialog::Hide()
{
    if (!shown)
        return;
    if (scrollerWindow)
        SendMessageA(scrollerWindow, WM_SETTEXT, 0, 0);
    ShowWindow(hwnd, SW_HIDE);
    shown = 0;
    if (list)
        list->MarkHidden(number);
}

void InfoDialog::SetText(const char* newText)
{
    text = newText;
    if (scrollerWindow) {
        SendMessageA(scrollerWindow, WM_SETTEXT, 1, reinterpret_cast<LPARAM>(text));
        InvalidateRect(scrollerWindow, nullptr, TRUE);
    }
}

bool InfoDialog::HasName(const char* otherName) const
{
    return name && *name && SameTextNoCase(name, otherName);
}
