#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Records every message box instead of showing it, for the lifetime of the object.
class MessageBoxRecorder {
public:
    struct Box {
        std::string text;
        std::string caption;
        UINT type;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    static std::vector<Box>& Boxes();
    std::vector<std::string> Texts() const;
};

// Writes a 24-bit bottom-up Windows bitmap file; pixels are 0xRRGGBB, row by row from the top.
bool WriteBmp(const std::string& path, int width, int height, const std::vector<unsigned>& pixels);
bool WriteText(const std::string& path, const std::string& text);

// The colour at (x, y) of a bitmap as 0xRRGGBB, or ~0u when it cannot be read.
unsigned PixelOf(HBITMAP bitmap, int x, int y);

// A fresh empty folder under the current directory, removed with its files afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    std::string File(const std::string& name) const { return path + "\\" + name; }
    std::string path;
};

// The last part of the current directory's path: "x\\..\\..\\" + it climbs out of the current
// folder and back into it.
std::string CurrentFolderName();

// Dispatches whatever is queued for the thread.
void PumpMessages();

// A 32-bit top-down DIB section filled from 0xRRGGBB pixels.
HBITMAP MakeBitmap(int width, int height, const std::vector<unsigned>& pixels);

HINSTANCE TestInstance();
