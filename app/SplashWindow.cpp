#include "app/SplashWindow.h"

#include <memory>

namespace {
SplashWindow* splashWindow = nullptr;
}

SplashWindow::SplashWindow() : done(false) {}

HWND SplashWindow::CreateCentered(const char* name, int x, int y, HINSTANCE moduleInstance,
                                  const char* iniPath)
{
    HWND created = SkinWindow::CreateFromSkin(name, x, y, moduleInstance, iniPath);
    CentreOnScreen();
    return created;
}

int SplashWindow::Run()
{
    MSG message = {};
    while (!done) {
        if (!GetMessageA(&message, nullptr, 0, 0))
            break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT SplashWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        // The application goes on after the splash: no quit message.
        return 0;
    case WM_CHAR:
    case WM_TIMER:
        done = true;
        KillTimer(window, timerId);
        return 1;
    default:
        return SkinWindow::WindowProc(window, message, wParam, lParam);
    }
}

void ShowSplash(HINSTANCE instance, int time)
{
    DestroySplash();
    splashWindow = std::make_unique<SplashWindow>().release();
    SplashWindow& splash = *splashWindow;
    HWND window = splash.CreateCentered("Welcome to Quillmere", CW_USEDEFAULT, CW_USEDEFAULT,
                                        instance, "gui\\splash.ini");
    splash.draggable = true;
    ShowWindow(window, SW_SHOWNORMAL);
    InvalidateRgn(window, nullptr, TRUE);
    UpdateWindow(window);
    // Without a window no tick could ever end the loop.
    if (!window)
        return;
    // A negative time would become a period of weeks: it ends at the first tick, like 0.
    SetTimer(window, SplashWindow::timerId, time > 0 ? static_cast<UINT>(time) : 0, nullptr);
    splash.Run();
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

void DestroySplash()
{
    if (!splashWindow)
        return;
    std::unique_ptr<SplashWindow> splash(splashWindow);
    splashWindow = nullptr;
    DestroyWindow(splash->hwnd);
}

SplashWindow* CurrentSplash()
{
    return splashWindow;
}
