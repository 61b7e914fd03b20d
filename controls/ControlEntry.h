#pragma once

#include <string>
#include <vector>

// Window-free reading of one control-section entry of a skin ini file, for code that must see an
// entry exactly as the section loaders do without creating any window.

// Splits like strtok(value, ","): a run of commas is one separator, commas at either end are
// skipped, no field is empty, blanks stay in the fields.
std::vector<std::string> SplitEntryFields(const char* value);

// How an integer field reads with atoi: leading blanks, an optional sign, decimal digits up to the
// first other character. `digits` is false when no digit follows (the field reads as 0), `rest`
// false when characters other than trailing blanks follow the digits (they are ignored).
// Numbers beyond the 32-bit range are clamped to it, as the loaders clamp them.
struct EntryNumber {
    int value;
    bool digits;
    bool rest;
};
EntryNumber ReadEntryNumber(const char* field);

// True exactly when the field equals "TRUE" without regard to case.
bool EntryFlag(const char* field);

// ASCII comparison without regard to case, as the ini and window-class lookups do.
bool SameTextNoCase(const char* a, const char* b);

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
