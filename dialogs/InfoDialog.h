#pragma once

#include <windows.h>

#include "window/SkinWindow.h"

class InfoDialogList;

// A skinned window owned by the main window, showing a text in its TEXT_SCROLLER control.
// Hidden until opened by name; hidden again by its BUTTON_CLOSE button or the Escape key.
class InfoDialog : public SkinWindow {
public:
    InfoDialog();

    // WM_DESTROY does not end the message loop; the rest goes to SkinWindow.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Escape hides the dialog.
    void OnKeyDown(WPARAM wParam, LPARAM lParam) override;
    // "BUTTON_CLOSE" (exactly) hides the dialog; 0 for every name.
    int OnButtonClick(const char* buttonName) override;

    virtual HWND CreateOwnedFromSkin(const char* className, int x, int y, HINSTANCE moduleInstance,
                                     HWND owner, const char* iniPath);

    // The texts are the descriptor's and must outlive the dialog.
    void Attach(InfoDialogList* newList, HWND owner, int newNumber, const char* newName,
                const char* newText, int newDx, int newDy);
    // The scroller starts its text anew; the first showing places the dialog by the owner.
    void Show();
    // The scroller is blanked.
    void Hide();
    // Stored for the next showing and given to the scroller at once, shown or not.
    void SetText(const char* newText);
    // Case-insensitive; an empty or null name matches no dialog.
    bool HasName(const char* otherName) const;

    InfoDialogList* list;
    int number;
    HWND scrollerWindow;
    const char* text;
    BYTE shown;
    const char* name;
    int dx;
    int dy;
    HWND ownerWindow;
    BYTE placed;
};
