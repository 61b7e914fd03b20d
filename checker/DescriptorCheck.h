#pragma once

#include <string>
#include <vector>

#include "checker/DescriptorScan.h"
#include "checker/Report.h"

// What the player makes of the descriptor, with the line of each value, for the checks that look
// at the files and skins it names.
struct DiskPlan {
    struct Named {
        int number;
        std::string value;               // the path or name as written
        const DescriptorScan::Line* at;  // its line, or null
        bool refused;                    // a path the player does not open (see DiskPath)
    };
    std::vector<Named> songs;        // music.file.01 .. songCount
    Named splashMusic;               // number 0; empty value when there is none
    struct Dialog {
        int number;
        std::string file;
        std::string name;
        const DescriptorScan::Line* fileAt;
        const DescriptorScan::Line* nameAt;
        bool duplicate;  // an earlier dialog has the same name: nothing ever reaches this one
        bool refused;    // its skin file's path is one the player does not open
    };
    std::vector<Dialog> dialogs;     // the dialogs the player creates: at most ten, named ones
};

// The descriptor's line-level and key-level problems; returns the plan of what it names.
DiskPlan CheckDescriptor(const DescriptorScan& scan, const std::string& topFile, Report& report);

// A path the player refuses to open (see DiskPath): one error saying why and what to do. `what`
// names the file for the listener, e.g. "The included file \"x.dat\"".
void AddRefusedPath(Report& report, const std::string& file, int line, const std::string& key,
                    const std::string& what, DiskPath::Problem problem);

// The player's dialog list holds this many dialogs.
constexpr int MaxDialogs = 10;
