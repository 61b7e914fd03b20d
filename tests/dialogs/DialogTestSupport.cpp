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
