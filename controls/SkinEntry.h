#pragma once

#include <windows.h>

#include "window/GlobalText.h"
#include "window/IniFile.h"

// Reads entry number (key "1", "2", ...) of a control section with an empty default. Empty when
// the key is missing or its value is empty: that ends the section.
GlobalText ReadSkinEntry(IniFile& ini, const char* section, int number);

// One entry of a control section split into fields the way strtok(value, ",") does: runs of
// commas are one separator, leading and trailing commas are skipped, no field is empty, blanks
// stay. The value is copied; at most maxFields fields are kept.
class SkinEntry {
public:
    static constexpr int maxFields = 32;
    static constexpr int capacity = 2048;

    explicit SkinEntry(const char* value);

    int Count() const { return count; }
    // True when the entry has at least fieldCount fields (shorter entries are skipped).
    bool Has(int fieldCount) const { return count >= fieldCount; }

    // The field as written; null past the last field.
    const char* Text(int index) const;
    // atoi of the field: leading blanks, optional sign, digits; 0 without digits or past the end.
    int Int(int index) const;
    // atol of the field, as a COLORREF (red + 256 green + 65536 blue).
    COLORREF Colour(int index) const;
    // True exactly when the field equals "TRUE" without regard to case.
    bool Flag(int index) const;

private:
    char buffer[capacity];
    const char* fields[maxFields];
    int count;
};
