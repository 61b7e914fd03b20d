#pragma once

#include <windows.h>

#include "controls/SkinControl.h"
#include "window/IniFile.h"
#include "window/PointerList.h"
#include "window/SkinImage.h"
#include "window/Tooltip.h"

class Button;
class TextField;
class HScroller;
class VScroller;
class Label;

// Notifications a button posts to its skinned window; lParam points to the button's name.
const UINT WMU_BUTTON_LDOWN = WM_USER + 1;
const UINT WMU_BUTTON_RDOWN = WM_USER + 2;
const UINT WMU_BUTTON_LUP = WM_USER + 3;
const UINT WMU_BUTTON_RUP = WM_USER + 4;

// A borderless popup whose look, size, shape and controls come from a skin ini file.
class SkinWindow : public SkinControl {
public:
    static constexpr int folderCapacity = 260;

    SkinWindow();

    // While loading: 0 for everything. WM_ACTIVATEAPP switches the look and tells the controls,
    // WM_NCHITTEST drags (HTCAPTION) when draggable, WMU_BUTTON_LUP calls OnButtonClick.
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
    // BUTTONINFO, TEXTINFO, HSCROLLINFO, VSCROLLINFO, LABELINFO.
    void LoadSkin(const char* iniPath);

    // Section loaders, each defined with its control kind:
    void LoadButtons();     // BUTTONINFO, controls/Button.cpp
    void LoadTextFields();  // TEXTINFO, controls/TextField.cpp
    void LoadHScrollers();  // HSCROLLINFO, scrollers/HScroller.cpp
    void LoadVScrollers();  // VSCROLLINFO, scrollers/VScroller.cpp
    void LoadLabels();      // LABELINFO, controls/Label.cpp

    // Tooltips, buttons, text fields, then the Down, Over and Disabled pictures.
    void ClearControls();

    // The pieces of the Main, Mask and Disabled pictures under one control's rectangle; a piece
    // is empty where its picture is.
    struct ControlPieces {
        SkinImage main;
        SkinImage mask;
        SkinImage disabled;
    };
    ControlPieces CutPieces(int x, int y, int width, int height) const;

    DWORD loading;
    char skinFolder[folderCapacity];
    bool appActive;
    bool draggable;
    SkinImage disabledImage;
    SkinImage overImage;
    SkinImage downImage;
    IniFile ini;
    PointerList<Button> buttons;
    PointerList<TextField> textFields;
    PointerList<Tooltip> tooltips;
    PointerList<HScroller> hScrollers;
    PointerList<VScroller> vScrollers;
    PointerList<Label> labels;
};
