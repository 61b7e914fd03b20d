#include "tests/app/DisplayWindows.h"

#include "app/Application.h"

namespace {

const char kParentClass[] = "PlayerTestMain";

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WMU_SONG_END) {
        auto *owner = reinterpret_cast<DisplayWindows *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (owner && owner->application)
            owner->application->OnSongEndNotice(static_cast<DWORD>(wParam));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Register(const char *name, WNDPROC proc)
{
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &info))
        return;
    info.lpfnWndProc = proc;
    info.hInstance = GetModuleHandleA(nullptr);
    info.lpszClassName = name;
    RegisterClassExA(&info);
}

} // namespace

DisplayWindows::DisplayWindows(const std::vector<const char *> &controls, bool visible) : application(nullptr)
{
    Register(kParentClass, ParentProc);
    parent = CreateWindowExA(0, kParentClass, "Musicdisk", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 300, 100, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    int x = 0;
    for (const char *name : controls) {
        Register(name, DefWindowProcA);
        CreateWindowExA(0, name, "", WS_CHILD | WS_VISIBLE, x, 0, 50, 20, parent, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
        x += 60;
    }
}

DisplayWindows::~DisplayWindows()
{
    DestroyWindow(parent);
    Pump();
}

HWND DisplayWindows::Child(const char *control) const
{
    return FindWindowExA(parent, nullptr, control, nullptr);
}

std::string DisplayWindows::Text(const char *control) const
{
    HWND child = Child(control);
    if (!child)
        return "<none>";
    char text[256] = {};
    GetWindowTextA(child, text, sizeof(text));
    return text;
}

void DisplayWindows::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
