#include "tests/dialogs/DialogTestSupport.h"

#include <vector>

unsigned MainPixel(int x, int y)
{
    return (static_cast<unsigned>(x * 3 % 256) << 16) | (static_cast<unsigned>(y * 4 % 256) << 8) |
           0x40;
}

unsigned DisabledPixel(int x, int y)
{
    return (MainPixel(x, y) & 0xFFFF00) | 0xC0;
}

SkinFiles::SkinFiles(const std::string& name) : folder(name)
{
    std::vector<unsigned> main, disabled, mask(skinWidth * skinHeight, 0);
    for (int y = 0; y < skinHeight; ++y)
        for (int x = 0; x < skinWidth; ++x) {
            main.push_back(MainPixel(x, y));
            disabled.push_back(DisabledPixel(x, y));
        }
    WriteBmp(folder.File("main.bmp"), skinWidth, skinHeight, main);
    WriteBmp(folder.File("disabled.bmp"), skinWidth, skinHeight, disabled);
    WriteBmp(folder.File("mask.bmp"), skinWidth, skinHeight, mask);
}

std::string SkinFiles::Ini(const std::string& name, const std::string& sections)
{
    std::string text =
        "[SCREEN]\r\nMain=main.bmp\r\nMask=mask.bmp\r\nOver=main.bmp\r\nDown=main.bmp\r\n"
        "Disabled=disabled.bmp\r\n" +
        sections;
    WriteText(folder.File(name), text);
    return folder.File(name);
}

Canvas::Canvas(int w, int h, unsigned fill)
    : dc(CreateCompatibleDC(nullptr)), width(w), height(h), bitmap(nullptr), previous(nullptr),
      bits(nullptr)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<DWORD*>(pixels);
    if (bits)
        for (int i = 0; i < width * height; ++i)
            bits[i] = fill;
    previous = SelectObject(dc, bitmap);
}

Canvas::~Canvas()
{
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

unsigned Canvas::At(int x, int y) const
{
    GdiFlush();
    return bits ? bits[y * width + x] & 0xFFFFFF : ~0u;
}

int Canvas::Count(unsigned colour) const
{
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            n += At(x, y) == colour;
    return n;
}

int Canvas::FirstColumn(unsigned colour) const
{
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (At(x, y) == colour)
                return x;
    return -1;
}

int Canvas::LastColumn(unsigned colour) const
{
    for (int x = width - 1; x >= 0; --x)
        for (int y = 0; y < height; ++y)
            if (At(x, y) == colour)
                return x;
    return -1;
}

HWND CreateOwnerWindow(int x, int y)
{
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    if (!GetClassInfoExA(TestInstance(), "DialogTestOwner", &info)) {
        info.cbSize = sizeof info;
        info.lpfnWndProc = DefWindowProcA;
        info.hInstance = TestInstance();
        info.lpszClassName = "DialogTestOwner";
        RegisterClassExA(&info);
    }
    return CreateWindowExA(0, "DialogTestOwner", "Owner", WS_POPUP | WS_VISIBLE, x, y, 200, 100,
                           nullptr, nullptr, TestInstance(), nullptr);
}
