#pragma once

#include <windows.h>
#include <commctrl.h>

// One common-controls tooltip tool covering the whole client area of one control window.
class Tooltip {
public:
    Tooltip();
    Tooltip(const Tooltip&) = delete;
    Tooltip& operator=(const Tooltip&) = delete;
    // Removes the tool; the tooltip window goes with the control window that owns it.
    virtual ~Tooltip();

    // text must stay readable during the call only; the tooltip keeps its own copy. A UTF-8 text
    // is converted to the ANSI code page (InAnsiCodePage): the tool record is an ANSI one.
    HWND Create(HWND controlWindow, HINSTANCE instance, const char* text);

    HWND tipWindow;
    TOOLINFOA toolInfo;
};
