#pragma once

#include <string>
#include <vector>

#include "checker/Report.h"

class SkinProbe;

// Checks the musicdisk in the current directory the way the player reads it: the descriptor and
// its includes, the songs and the splash music on the silent audio device, the main, splash and
// dialog skins through hidden skinned windows, and what they need of each other.
class DiskChecker {
public:
    explicit DiskChecker(Report& report) : report(report) {}
    // With a folder, Run also draws every skin it reads there (SkinDrawing), named after the skin
    // file's path: gui\skin.ini gives gui_skin.bmp.
    void DrawInto(const std::wstring& folder) { drawFolder = folder; }
    void Run();

    // What was drawn: the skin files and the pictures written (or, when one could not be written,
    // an empty name).
    struct Drawing {
        std::string skin;
        std::wstring picture;
        int x, y;  // the window's top-left corner in the picture
    };
    const std::vector<Drawing>& Drawings() const { return drawings; }

private:
    void Draw(const SkinProbe& probe, const std::string& skin);

    Report& report;
    std::wstring drawFolder;
    std::vector<Drawing> drawings;
};
