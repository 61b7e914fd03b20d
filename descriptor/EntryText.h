#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The text rules shared by every reader of a disk's values (descriptor, skin entries, scroll-mode
// names) in the player and in the checker, so both read a value the same way.

// Comma-separated fields as strtok(value, ",") finds them: a run of commas is one separator,
// commas at either end are skipped, no field is empty, blanks stay. Finds the field at or after
// `cursor`: its start and length, and where the search for the next one goes on. False when
// there is none.
bool NextEntryField(const char* cursor, const char** start, size_t* length, const char** next);
std::vector<std::string> SplitEntryFields(const char* value);

// How a number reads with atoi or "%d" of sscanf: leading blanks, an optional sign, decimal digits
// up to the first other character. `digits` is false when no digit follows (the value is 0),
// `rest` false when only trailing blanks follow the digits. Numbers beyond the 32-bit range are
// clamped to it.
struct EntryNumber {
    int value;
    bool digits;
    bool rest;
};
EntryNumber ReadEntryNumber(const char* text);

// True exactly when the field equals "TRUE" without regard to case.
bool EntryFlag(const char* field);

// ASCII comparison without regard to case, as ini sections and window-class names compare.
bool SameTextNoCase(const char* a, const char* b);
