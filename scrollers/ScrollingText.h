#pragma once

#include <windows.h>

#include "controls/SkinControl.h"

// What both scrolling texts share: the text arrives with WM_SETTEXT and the window's timer moves
// it, one step per tick.
class ScrollingText : public SkinControl {
public:
    static constexpr UINT_PTR timerId = 2025;

    // WM_SETTEXT (lParam the text, may be null; result TRUE) and WM_TIMER of any id (result 1);
    // the rest goes to Window.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void SetText(const char* newText) = 0;
    virtual void Tick() = 0;
};
