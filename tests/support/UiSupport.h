#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/window/Canvas.h"
#include "tests/window/TestSupport.h"
#include "window/SkinWindow.h"

// Colour of the skin pictures at (x, y): red = x, green = y, blue tells the picture apart, so a
// piece shows where it was cut from and out of which picture.
const unsigned mainBlue = 0x10, overBlue = 0x20, downBlue = 0x30, disabledBlue = 0x40;
inline unsigned SkinPixel(int x, int y, unsigned blue)
{
    return (static_cast<unsigned>(x & 0xFF) << 16) | (static_cast<unsigned>(y & 0xFF) << 8) | blue;
}

// A skin folder with the five gradient pictures (mask all black: nothing cut away) and an ini.
class UiSkin {
public:
    UiSkin(const std::string& name, int width, int height);
    // Writes skin.ini: the SCREEN section naming the five pictures, then extra.
    std::string Ini(const std::string& extra);
    ScratchFolder folder;
    int width;
    int height;
};

// A notification a button posted to its skinned window.
struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A skinned window that records the button notifications and clicks it receives.
class RecordingWindow : public SkinWindow {
public:
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnButtonClick(const char* name) override;
    std::vector<Notice> notices;
    std::vector<std::string> clicks;
};

// Destroys the window (if any), dispatches what is left, then frees the object.
template <class T>
void CloseAndFree(T*& window)
{
    if (window && window->hwnd && IsWindow(window->hwnd))
        DestroyWindow(window->hwnd);
    PumpMessages();
    delete window;
    window = nullptr;
}


// Position of a child window in its parent's client area.
POINT ChildOrigin(HWND child);
SIZE WindowSize(HWND window);
// Removes a WM_QUIT waiting in the thread's queue; true when there was one.
bool TakeQuit(int* exitCode = nullptr);
// Dispatches messages for about the given time.
void PumpFor(DWORD milliseconds);
