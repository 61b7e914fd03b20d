#include "app/MainWindow.h"

#include <cstdio>
#include <cstring>

#include "app/Application.h"
#include "audio/MusicPlayer.h"
#include "window/GdiCounts.h"

namespace {

// A playback control that holds the window up this long is told to a debugger.
constexpr DWORD kSlowControlMs = 100;

struct ButtonEntry {
    const char* name;
    ButtonAction action;
};

// In the order the names are compared.
const ButtonEntry buttonTable[] = {
    {"BUTTON_EXIT", ButtonAction::Exit},   {"BUTTON_MINIMIZE", ButtonAction::Minimize},
    {"BUTTON_PAUSE", ButtonAction::Pause}, {"BUTTON_PLAY", ButtonAction::Play},
    {"BUTTON_STOP", ButtonAction::Stop},   {"BUTTON_FF", ButtonAction::Forward},
    {"BUTTON_RW", ButtonAction::Rewind},   {"BUTTON_PREV", ButtonAction::Previous},
    {"BUTTON_NEXT", ButtonAction::Next},
};

const char infoPrefix[] = "BUTTON_INFO";

// Lets an outside probe ask how many GDI objects our owners hold (wParam: 0 bitmaps, 1 fonts,
// 2 regions) without changing anything; no other sender knows this registered message.
const UINT liveGdiMessage = RegisterWindowMessageA("MusicdiskLiveGdiObjects");

}  // namespace

ButtonAction ButtonActionFor(const char* name)
{
    if (!name)
        return ButtonAction::None;
    for (const ButtonEntry& entry : buttonTable)
        if (strcmp(name, entry.name) == 0)
            return entry.action;
    return ButtonAction::None;
}

bool IsInfoButtonName(const char* name)
{
    return name && strncmp(name, infoPrefix, sizeof infoPrefix - 1) == 0;
}

MainWindow::MainWindow() : controller(nullptr) {}

HWND MainWindow::CreateFromSkin(const char* name, int x, int y, HINSTANCE moduleInstance,
                                const char* iniPath)
{
    HWND created = SkinWindow::CreateFromSkin(name, x, y, moduleInstance, iniPath);
    CentreOnScreen();
    SetTimer(created, displayTimerId, displayTimerPeriod, nullptr);
    return created;
}

LRESULT MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SHOWWINDOW:
        ShowOwnedPopups(window, wParam == 1 ? TRUE : FALSE);
        break;
    case WM_TIMER:
        if (controller)
            controller->RefreshElapsed();
        return 1;
    case WMU_SONG_END:
        if (controller)
            controller->OnSongEndNotice(static_cast<DWORD>(wParam));
        return 0;
    default:
        if (message == liveGdiMessage && message != 0 && wParam <= 2)
            return LiveGdiObjects(static_cast<GdiKind>(wParam));
        break;
    }
    return SkinWindow::WindowProc(window, message, wParam, lParam);
}

void MainWindow::OnKeyDown(WPARAM wParam, LPARAM)
{
    if (wParam == VK_ESCAPE)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

int MainWindow::OnButtonClick(const char* name)
{
    const ButtonAction action = ButtonActionFor(name);
    if (action == ButtonAction::Exit)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    else if (action == ButtonAction::Minimize)
        ShowWindow(hwnd, SW_MINIMIZE);
    else if (action != ButtonAction::None && controller) {
        const DWORD began = GetTickCount();
        switch (action) {
        case ButtonAction::Pause: controller->Pause(); break;
        case ButtonAction::Play: controller->Play(); break;
        case ButtonAction::Stop: controller->Stop(); break;
        case ButtonAction::Forward: controller->Seek(10); break;
        case ButtonAction::Rewind: controller->Seek(-10); break;
        case ButtonAction::Previous: controller->Previous(); break;
        case ButtonAction::Next: controller->Next(); break;
        default: break;
        }
        // A debugger is told of a control that held the window up, so that a song heard late
        // after a click is told from a sound system that was late.
        const DWORD took = GetTickCount() - began;
        if (took >= kSlowControlMs) {
            char text[96];
            std::snprintf(text, sizeof text, "musicdisk: %.40s took %lu ms\n", name, static_cast<unsigned long>(took));
            OutputDebugStringA(text);
        }
    }
    if (IsInfoButtonName(name) && controller)
        controller->OpenInfoDialog(name);
    return 0;
}
