#pragma once

#include <windows.h>

#include "window/SkinWindow.h"

// The splash screen: a centred skinned popup that runs its own message loop until its timer
// fires once or a character is typed, then hides; it is destroyed only when the application ends.
class SplashWindow : public SkinWindow {
public:
    static constexpr UINT_PTR timerId = 2025;

    SplashWindow();

    // Dispatches every message of the thread until done is set or WM_QUIT arrives.
    int Run() override;
    // WM_DESTROY does not quit; WM_CHAR or WM_TIMER ends the splash.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The skinned window centred on the screen; no timer.
    virtual HWND CreateCentered(const char* name, int x, int y, HINSTANCE moduleInstance,
                                const char* iniPath);

    bool done;
};

// Shows "Welcome to Quillmere" from gui\splash.ini for time milliseconds or until a character is
// typed; returns with the splash hidden.
void ShowSplash(HINSTANCE instance, int time);
// Destroys the hidden splash window and frees it; nothing when there is none.
void DestroySplash();
// The one splash window from ShowSplash until DestroySplash, else null.
SplashWindow* CurrentSplash();
