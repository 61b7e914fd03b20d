#pragma once

#include <windows.h>

#include <string>

#include "tests/window/Canvas.h"
#include "tests/window/TestSupport.h"

// Skin pictures whose every pixel tells where it came from: red = 3 x, green = 4 y, blue 0x40 in
// Main and 0xC0 in Disabled. No pixel is pure white or pure black, so text in those colours shows.
const int skinWidth = 160;
const int skinHeight = 60;
unsigned MainPixel(int x, int y);
unsigned DisabledPixel(int x, int y);

// A folder with main.bmp, disabled.bmp, mask.bmp (all black: nothing cut away) and skin inis.
class SkinFiles {
public:
    explicit SkinFiles(const std::string& name);
    // Writes name with a SCREEN section naming the pictures, followed by sections; returns its path.
    std::string Ini(const std::string& name, const std::string& sections);
    ScratchFolder folder;
};

// A 32-bit top-down DIB selected into a memory DC, filled with one colour; pixels as 0xRRGGBB.
// A plain visible popup standing in for the main window.
HWND CreateOwnerWindow(int x, int y);
