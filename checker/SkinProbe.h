#pragma once

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
    // With the controls the entry checks expect: the window must have made the same ones, and no
    // control's piece of the mask may be pure white.
    void CheckControls(const std::vector<CheckedControl>& controls);

private:
    void CheckPictures();
    void ReadSections();

    Report& report;
    SkinFacts facts;
    std::unique_ptr<SkinWindow> window;
    std::vector<std::string> messages;
    bool windowCutAway;
};
