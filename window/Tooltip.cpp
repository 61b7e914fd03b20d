#include "window/Tooltip.h"

#include <cstddef>
#include <string>

#include "window/AnsiCodePage.h"

namespace {
// TOOLINFOA without the trailing reserved pointer, as every comctl32 version accepts it.
// (44 bytes in a 32-bit program; the 64-bit layout is larger and must be given as such.)
const UINT toolInfoSize = TTTOOLINFOA_V2_SIZE;
#ifndef _WIN64
static_assert(offsetof(TOOLINFOA, lParam) + sizeof(LPARAM) == 44,
              "the tool record of a 32-bit program");
#endif
}

Tooltip::Tooltip() : tipWindow(nullptr)
{
    ZeroMemory(&toolInfo, sizeof toolInfo);
}

Tooltip::~Tooltip()
{
    if (tipWindow)
        SendMessageA(tipWindow, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&toolInfo));
}

HWND Tooltip::Create(HWND controlWindow, HINSTANCE instance, const char* text)
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);

    HWND tip = CreateWindowExA(WS_EX_TOPMOST, "tooltips_class32", nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, controlWindow, nullptr,
                               instance, nullptr);
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    RECT client = {};
    GetClientRect(controlWindow, &client);
    toolInfo.cbSize = toolInfoSize;
    toolInfo.uFlags = TTF_SUBCLASS;
    toolInfo.hwnd = controlWindow;
    toolInfo.uId = 0;
    toolInfo.rect = client;
    toolInfo.hinst = instance;
    // The tool record goes through the ANSI functions.
    std::string shown = InAnsiCodePage(text);
    toolInfo.lpszText = &shown[0];
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&toolInfo));
    // The tooltip keeps its own copy; ours would dangle once the caller frees the text.
    toolInfo.lpszText = nullptr;
    tipWindow = tip;
    return tip;
}
