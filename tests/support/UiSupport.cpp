#include "tests/support/UiSupport.h"

#include <cstring>

UiSkin::UiSkin(const std::string& name, int skinWidth, int skinHeight)
    : folder(name), width(skinWidth), height(skinHeight)
{
    const struct {
        const char* file;
        unsigned blue;
    } pictures[] = {{"main.bmp", mainBlue},
                    {"over.bmp", overBlue},
                    {"down.bmp", downBlue},
                    {"disabled.bmp", disabledBlue}};
    for (const auto& picture : pictures) {
        std::vector<unsigned> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(y) * width + x] = SkinPixel(x, y, picture.blue);
        WriteBmp(folder.File(picture.file), width, height, pixels);
    }
    WriteBmp(folder.File("mask.bmp"), width, height,
             std::vector<unsigned>(static_cast<size_t>(width) * height, 0));
}

std::string UiSkin::Ini(const std::string& extra)
{
    std::string text =
        "[SCREEN]\r\nMain=main.bmp\r\nMask=mask.bmp\r\nOver=over.bmp\r\nDown=down.bmp\r\n"
        "Disabled=disabled.bmp\r\n" +
        extra;
    WriteText(folder.File("skin.ini"), text);
    return folder.File("skin.ini");
}

LRESULT RecordingWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WMU_BUTTON_LDOWN && message <= WMU_BUTTON_RUP)
        notices.push_back({message, wParam, lParam});
    return SkinWindow::WindowProc(window, message, wParam, lParam);
}

int RecordingWindow::OnButtonClick(const char* name)
{
    clicks.push_back(name ? name : "(null)");
    return 1;
}

POINT ChildOrigin(HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    POINT origin = {rect.left, rect.top};
    ScreenToClient(GetParent(child), &origin);
    return origin;
}

SIZE WindowSize(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool TakeQuit(int* exitCode)
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (exitCode)
        *exitCode = static_cast<int>(message.wParam);
    return true;
}

void PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}
