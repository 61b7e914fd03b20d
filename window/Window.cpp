#include "window/Window.h"

#include <cstddef>

// The records this file hands to the system, at their 32-bit sizes: the shipped program is 32-bit.
#ifndef _WIN64
static_assert(sizeof(WNDCLASSEXA) == 48, "the window class record of a 32-bit program");
static_assert(sizeof(CREATESTRUCTA) == 48, "the creation record of a 32-bit program");
static_assert(sizeof(CreationBlock) == 36 && offsetof(CreationBlock, window) == 32,
              "the creation block: nine 32-bit words, the object in word 8");
#endif

Window::Window() : hwnd(nullptr), instance(nullptr), className(), detached(0) {}

int Window::Run()
{
    MSG message = {};
    // GetMessageA's -1 (error) counts as non-zero: the loop goes on.
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

HWND Window::Create(DWORD exStyle, const char* name, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE moduleInstance)
{
    if (!RegisterClass(name, moduleInstance))
        return nullptr;
    CreationBlock block = {};
    block.window = this;
    HWND created = CreateWindowExA(exStyle, name, title, style, x, y, width, height, parent, menu,
                                   moduleInstance, &block);
    hwnd = created;
    instance = moduleInstance;
    className = GlobalText::Copy(name);
    return hwnd;
}

void Window::InitClassInfo(WNDCLASSEXA* info)
{
    ZeroMemory(info, sizeof *info);
    info->cbSize = sizeof(WNDCLASSEXA);
    info->style = CS_HREDRAW | CS_VREDRAW;
    info->lpfnWndProc = StaticWndProc;
    info->hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
}

bool Window::RegisterClass(const char* name, HINSTANCE moduleInstance)
{
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    if (GetClassInfoExA(moduleInstance, name, &info))
        return true;
    InitClassInfo(&info);
    info.hInstance = moduleInstance;
    info.lpszClassName = name;
    return RegisterClassExA(&info) != 0;
}

LRESULT CALLBACK Window::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* object;
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        // A window of one of our classes made by someone else carries no block: leave it unbound.
        const CreationBlock* block = static_cast<const CreationBlock*>(create->lpCreateParams);
        object = block ? block->window : nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    } else {
        object = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        // The window's last message: unbound before it is handled, so nothing that comes later
        // can reach an object that may be gone by then.
        if (message == WM_NCDESTROY)
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    if (!object || object->detached)
        return DefWindowProcA(window, message, wParam, lParam);
    return object->WindowProc(window, message, wParam, lParam);
}

LRESULT Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        OnPaint(dc);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        // The same painting into the caller's DC (a print, or a test reading pixels back).
        OnPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void Window::OnKeyDown(WPARAM, LPARAM) {}

void Window::OnPaint(HDC) {}

Window::~Window()
{
    detached = 1;
    // A window that outlives its object answers by default from now on.
    if (hwnd && GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (className)
        UnregisterClassA(className.Get(), instance);
    className.Reset();
}
