#pragma once

#include <vector>

#include "descriptor/EntryText.h"

// Window-free reading of one control-section entry of a skin ini file, for code that must see an
// entry exactly as the section loaders do without creating any window.

enum class FieldKind { Name, Text, Integer, Colour, Flag, Ignored, Mode, Alignment };

// The field layout of one control section and what its loader needs: entries with fewer than
// `required` fields are skipped; geometry fields are given by their 0-based index.
struct ControlLayout {
    const char* section;
    const char* kind;
    int fields;
    int required;
    const FieldKind* layout;
    int x, y, width, height;
};

// BUTTONINFO, TEXTINFO, HSCROLLINFO, VSCROLLINFO, LABELINFO, in the order the skin loads them.
const std::vector<ControlLayout>& ControlLayouts();
