#pragma once

#include <windows.h>

#include "controls/Button.h"
#include "controls/SkinControl.h"
#include "window/IniFile.h"
#include "window/PointerList.h"
#include "window/SkinImage.h"
#include "window/Tooltip.h"

class TextField;
class HScroller;
class VScroller;
class Label;

// Posted by a skinned window to itself to go back where it was shown (see keepShownPlace).
const UINT WMU_PUT_BACK = WM_USER + 5;

// A borderless popup whose look, size, shape and controls come from a skin ini file.
class SkinWindow : public SkinControl {
public:
    static constexpr int folderCapacity = 260;

    SkinWindow();

    // While loading: 0 for everything. WM_ACTIVATEAPP switches the look and tells the controls,
    // WM_NCHITTEST drags (HTCAPTION) when draggable, WMU_BUTTON_LUP calls OnButtonClick.
    // WM_WINDOWPOSCHANGED and the presses keep the place where the window was shown (see
    // keepShownPlace).
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // image when appActive, else disabledImage, whole at (0, 0).
    void OnPaint(HDC dc) override;
    // ClearControls, then labels, vScrollers, hScrollers; then the ini path, Main and Mask.
    ~SkinWindow() override;

    // CreateWithOwner with no owner.
    virtual HWND CreateFromSkin(const char* className, int x, int y, HINSTANCE instance,
                                const char* iniPath);
    // Hook for a released left button; returns 1 and does nothing here.
    virtual int OnButtonClick(const char* name);

    // Creates the hidden WS_POPUP window (100 x 100, class name and title className), then
    // loads the skin.
    HWND CreateWithOwner(const char* className, int x, int y, HINSTANCE instance, HWND owner,
                         const char* iniPath);
    // Pictures of SCREEN (Main, Mask, Down, Over, Disabled), size, shape, then the sections
    // BUTTONINFO, TEXTINFO, HSCROLLINFO, VSCROLLINFO, LABELINFO. A skin path the disk may not
    // name (DiskPath) reads as a missing file.
    void LoadSkin(const char* iniPath);
    // Moves the window so that its Main picture is centred on the screen (signed halves, truncated
    // toward zero; a skin larger than the screen gets a negative position), keeping its size.
    void CentreOnScreen();

    // The section loaders, one each, in the order LoadSkin calls them.
    void LoadButtons();
    void LoadTextFields();
    void LoadHScrollers();
    void LoadVScrollers();
    void LoadLabels();

    // Tooltips, buttons, text fields, then the Down, Over and Disabled pictures.
    void ClearControls();

    DWORD loading;
    char skinFolder[folderCapacity];
    bool draggable;
    SkinImage overImage;
    SkinImage downImage;
    IniFile ini;
    PointerList<Button> buttons;
    PointerList<TextField> textFields;
    PointerList<Tooltip> tooltips;
    PointerList<HScroller> hScrollers;
    PointerList<VScroller> vScrollers;
    PointerList<Label> labels;

    // Set when the window is shown, at its place then (shownX, shownY); cleared by the first press
    // on the window or one of its buttons, by a move loop, by hiding, and by the first move that
    // the window did not make itself (not to an icon), which puts the window back where it was
    // shown (posting WMU_PUT_BACK). Under Wine with a reparenting window manager, the move that
    // Wine makes after showing, from the X server's note of the new place, can read the place
    // while the manager's frame is still at the corner of the screen: Wine then believes the
    // window is there, and every click on the window where it really is finds nothing.
    bool keepShownPlace;
    int shownX;
    int shownY;

private:
    void OnPlaceChanged(const WINDOWPOS& place);

    // Every entry of the section becomes a control made by Control::FromEntry, with its tooltip
    // (the entry's last field); entries shorter than the section needs are skipped.
    template <class Control>
    void LoadSection(const char* section, PointerList<Control>& list);
};
