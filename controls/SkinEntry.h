#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/ControlEntry.h"

// One entry of a control section, read with the text rules every reader of a disk shares
// (EntryText): fields as strtok(value, ",") finds them, numbers as atoi reads them, flags "TRUE" in
// any case. At most maxFields fields are kept; no section has more than 17. Window-free.
class SkinEntry {
public:
    static constexpr int maxFields = 32;

    explicit SkinEntry(const char* value);

    int Count() const { return static_cast<int>(fields.size()); }
    // True when the entry has at least fieldCount fields (shorter entries are skipped).
    bool Has(int fieldCount) const { return Count() >= fieldCount; }

    // The field as written; null past the last field.
    const char* Text(int index) const;
    // The field as atoi reads it, clamped to the 32-bit range; 0 without digits or past the end.
    int Int(int index) const;
    // The same number as a COLORREF (red + 256 green + 65536 blue).
    std::uint32_t Colour(int index) const;
    // True exactly when the field equals "TRUE" without regard to case.
    bool Flag(int index) const;
    // The rectangle the layout's geometry fields name.
    ControlPlace Place(const ControlLayout& layout) const;

private:
    std::vector<std::string> fields;
};
