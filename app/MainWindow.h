#pragma once

#include <windows.h>

#include "window/SkinWindow.h"

class Application;

// What a released button of the main window asks of the controller.
enum class ButtonAction {
    None, Exit, Minimize, Pause, Play, Stop, Forward, Rewind, Previous, Next
};

// The main window's button table: exact, case-sensitive names, first match wins.
ButtonAction ButtonActionFor(const char* name);
// True for names whose first eleven characters are exactly "BUTTON_INFO".
bool IsInfoButtonName(const char* name);

// The musicdisk's main window: a skinned window from gui\skin.ini whose buttons, Escape key and
// display timer reach the player controller.
class MainWindow : public SkinWindow {
public:
    static constexpr UINT_PTR displayTimerId = 2026;
    static constexpr UINT displayTimerPeriod = 250;

    MainWindow();

    // WM_SHOWWINDOW shows or hides the owned popups (the info dialogs) with the window; any
    // WM_TIMER refreshes the elapsed time; a song-end notice goes to the controller.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Escape closes the window (and so ends the application).
    void OnKeyDown(WPARAM wParam, LPARAM lParam) override;

    // The skinned window, centred on the screen (a negative position for a skin larger than the
    // screen is kept), with the 250 ms display timer running. Not yet visible.
    HWND CreateFromSkin(const char* name, int x, int y, HINSTANCE moduleInstance,
                        const char* iniPath) override;
    // The button table, then the "BUTTON_INFO" prefix rule; returns 0.
    int OnButtonClick(const char* name) override;

    Application* controller;
};
