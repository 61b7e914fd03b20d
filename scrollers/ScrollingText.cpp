#include "scrollers/ScrollingText.h"

LRESULT ScrollingText::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT:
        SetText(reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_TIMER:
        Tick();
        return 1;
    default:
        return SkinControl::WindowProc(window, message, wParam, lParam);
    }
}
