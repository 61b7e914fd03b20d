#pragma once

#include <windows.h>

// A window's DC from GetDC, released when it goes; dc is null when GetDC failed.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window(window), dc(GetDC(window)) {}
    ~WindowDC()
    {
        if (dc)
            ReleaseDC(window, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HWND window;
    HDC dc;
};
