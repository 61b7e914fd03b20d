#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "checker/Report.h"
#include "checker/SkinCheck.h"

class SkinWindow;

// Loads one skin through the player's own skinned window, created hidden and never shown, and
// reports what its pictures and masks do: pictures missing, undecodable or of another size than
// Main, masks that cut the window or a control away entirely.
class SkinProbe {
public:
    // The place that names the skin file, for the finding when it cannot be opened.
    struct NamedAt {
        std::string file;
        int line;
        std::string key;
    };

    explicit SkinProbe(Report& report);
    ~SkinProbe();
    SkinProbe(const SkinProbe&) = delete;
    SkinProbe& operator=(const SkinProbe&) = delete;

    // False when the skin file cannot be opened (reported at `namedAt`).
    bool Load(const std::string& iniPath, SkinRole role, const NamedAt& namedAt);
    const SkinFacts& Facts() const { return facts; }
    // With the controls the entry checks expect: the window must have made the same ones, no
    // two may overlap where they take the mouse, and no control's piece of the mask may be pure
    // white.
    void CheckControls(const std::vector<CheckedControl>& controls);

    // A control the window made, with its entry (after CheckControls).
    struct PlacedControl {
        const CheckedControl* entry;
        HWND window;
    };
    const std::vector<PlacedControl>& Placed() const { return placed; }
    // Two placed controls (by index, first < second) whose mouse areas (rectangle cut to shape)
    // overlap, and the box of the overlap in the window's client coordinates.
    struct Overlap {
        size_t first;
        size_t second;
        RECT box;
    };
    std::vector<Overlap> Overlaps() const;
    // The skinned window the skin was loaded into (null before Load).
    const SkinWindow* Window() const { return window.get(); }

private:
    void CheckPictures();
    // JPEG masks and masks with stray near-white pixels; `ownMask` false when Main is the mask.
    void CheckMaskQuality(const std::string& path, bool ownMask);
    void ReadSections();
    void CheckOverlaps();

    Report& report;
    SkinFacts facts;
    std::unique_ptr<SkinWindow> window;
    std::vector<std::string> messages;
    bool windowCutAway;
    std::vector<PlacedControl> placed;
};
