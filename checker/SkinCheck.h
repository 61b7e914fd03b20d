#pragma once

#include <string>
#include <utility>
#include <vector>

#include "checker/DescriptorCheck.h"
#include "checker/Report.h"

enum class SkinRole { Main, Splash, Dialog };

// One control section of a skin file as the player's ini access reads it.
struct SectionFacts {
    std::string name;  // BUTTONINFO, TEXTINFO, HSCROLLINFO, VSCROLLINFO or LABELINFO
    // The values of keys "1", "2", ... as the section loader reads them, up to the first missing or
    // empty one.
    std::vector<std::string> entries;
    // Every key of the section in file order, with its value.
    std::vector<std::pair<std::string, std::string>> keys;
};

// A skin file and the size of its Main picture.
struct SkinFacts {
    std::string path;  // as the disk names it, e.g. gui\skin.ini
    SkinRole role;
    std::vector<SectionFacts> sections;
    int width = 0;  // of the Main picture; 0 when it could not be loaded
    int height = 0;
};

// A control the player creates from a skin entry.
struct CheckedControl {
    std::string section;
    int number;
    std::string name;
    int x, y, width, height;
    bool pictured;  // cut from the skin pictures (all kinds but text fields)
};

// The entries of every control section: field counts, numbers, words, rectangles, names. Returns
// the controls the player creates.
std::vector<CheckedControl> CheckSkinEntries(const SkinFacts& skin, Report& report);

// A dialog of the plan with the controls of its skin (empty when the skin could not be read).
struct DialogSkin {
    const DiskPlan::Dialog* dialog;
    bool skinRead;
    std::vector<CheckedControl> controls;
};

// What the main window and the dialogs need of each other: display controls, info buttons with
// their dialogs, close buttons and scrolling texts.
void CheckSkinLinks(const std::string& mainPath, bool mainRead,
                    const std::vector<CheckedControl>& mainControls,
                    const std::vector<DialogSkin>& dialogs, Report& report);

// Pixels of a mask (0xRRGGBB, row by row) that anti-aliasing or JPEG left beside the cut-away pure
// white: not pure white themselves, every channel at least 0xF0, with a pure white neighbour
// (of eight). They stay in the window as a light fringe.
int StrayMaskPixels(const std::vector<unsigned>& pixels, int width, int height);

// "[SECTION] key", the way skin findings name their place.
std::string SkinKey(const std::string& section, const std::string& key);
