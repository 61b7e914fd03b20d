#include "tests/ui/UiSupport.h"

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

Canvas::Canvas(int canvasWidth, int canvasHeight, unsigned fillColour)
    : dc(CreateCompatibleDC(nullptr)), bitmap(nullptr), previous(nullptr), bits(nullptr),
      width(canvasWidth), height(canvasHeight), fill(fillColour)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits = static_cast<DWORD*>(memory);
    for (int i = 0; bits && i < width * height; ++i)
        bits[i] = fill;
    previous = SelectObject(dc, bitmap);
}

Canvas::~Canvas()
{
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

unsigned Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    return bits[y * width + x] & 0xFFFFFF;
}

int Canvas::Changed() const
{
    GdiFlush();
    int changed = 0;
    for (int i = 0; i < width * height; ++i)
        changed += (bits[i] & 0xFFFFFF) != fill;
    return changed;
}

int Canvas::LeftmostChanged() const
{
    GdiFlush();
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if ((bits[y * width + x] & 0xFFFFFF) != fill)
                return x;
    return -1;
}

int Canvas::RightmostChanged() const
{
    GdiFlush();
    for (int x = width - 1; x >= 0; --x)
        for (int y = 0; y < height; ++y)
            if ((bits[y * width + x] & 0xFFFFFF) != fill)
                return x;
    return -1;
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
