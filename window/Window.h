#pragma once

#include <windows.h>

#include "window/GlobalText.h"

class Window;

// The lpParam of CreateWindowExA: nine 32-bit words, word 8 holds the object being created.
struct CreationBlock {
    DWORD reserved[8];
    Window* window;
};

// One Win32 window bound to one object: the window's GWL_USERDATA holds the object from
// WM_NCCREATE until WM_NCDESTROY or the object's destructor, whichever comes first, and every
// message in between reaches the object's WindowProc.
class Window {
public:
    Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Message loop of the calling thread; returns the wParam of WM_QUIT.
    virtual int Run();
    // The arguments of CreateWindowExA; registers the class by name if needed. Null on failure.
    virtual HWND Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                        int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance);
    virtual void InitClassInfo(WNDCLASSEXA* info);
    // WM_DESTROY posts WM_QUIT(0), WM_PAINT and WM_PRINTCLIENT (into the DC of wParam) call
    // OnPaint, WM_KEYDOWN OnKeyDown, the rest DefWindowProcA.
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnKeyDown(WPARAM wParam, LPARAM lParam);
    virtual void OnPaint(HDC dc);
    // Sets detached, unbinds a window that is still there, unregisters the class (failure
    // ignored) and frees the class name.
    virtual ~Window();

    // (windows.h maps the name to RegisterClassA; the mapping is the same everywhere.)
    // True when a class of that name exists afterwards, found or newly registered.
    bool RegisterClass(const char* className, HINSTANCE instance);

    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd;
    HINSTANCE instance;
    GlobalText className;
    DWORD detached;
};
