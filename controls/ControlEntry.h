#pragma once

#include <vector>

#include "descriptor/EntryText.h"

// The field layouts of the control sections of a skin ini file: the skinned window's loader and
// the disk checker read entries by the same table. Window-free.

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
// The last field of every layout is the control's tooltip.
const std::vector<ControlLayout>& ControlLayouts();
// The layout of that section (exact name), or null.
const ControlLayout* FindControlLayout(const char* section);

// The rectangle of the skin pictures an entry names; its pieces are cut there.
struct ControlPlace {
    // Every control but a button stands this far right of the rectangle its pieces are cut from.
    static constexpr int shift = 6;

    int x, y, width, height;

    // x + shift, clamped at the integer limit so that a huge x cannot overflow.
    int ShiftedX() const;
};
