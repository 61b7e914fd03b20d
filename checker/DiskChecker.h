#pragma once

#include "checker/Report.h"

// Checks the musicdisk in the current directory the way the player reads it: the descriptor and
// its includes, the songs and the splash music on the silent audio device, the main, splash and
// dialog skins through hidden skinned windows, and what they need of each other.
class DiskChecker {
public:
    explicit DiskChecker(Report& report) : report(report) {}
    void Run();

private:
    Report& report;
};
