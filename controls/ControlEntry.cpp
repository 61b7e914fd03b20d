#include "controls/ControlEntry.h"

#include <climits>

std::vector<std::string> SplitEntryFields(const char* value)
{
    std::vector<std::string> fields;
    if (!value)
        return fields;
    const char* cursor = value;
    for (;;) {
        while (*cursor == ',')
            ++cursor;
        if (!*cursor)
            break;
        const char* start = cursor;
        while (*cursor && *cursor != ',')
            ++cursor;
        fields.emplace_back(start, cursor);
    }
    return fields;
}

namespace {
bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
}  // namespace

EntryNumber ReadEntryNumber(const char* field)
{
    EntryNumber number = {0, false, false};
    if (!field)
        return number;
    const char* p = field;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long magnitude = 0;
    while (*p >= '0' && *p <= '9') {
        number.digits = true;
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (*p - '0');
        ++p;
    }
    if (negative)
        magnitude = -magnitude;
    if (magnitude > INT_MAX)
        magnitude = INT_MAX;
    if (magnitude < INT_MIN)
        magnitude = INT_MIN;
    number.value = static_cast<int>(magnitude);
    while (IsBlank(*p))
        ++p;
    number.rest = number.digits && *p != '\0';
    return number;
}

bool SameTextNoCase(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    for (;; ++a, ++b) {
        char ca = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
        char cb = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
        if (ca != cb)
            return false;
        if (!ca)
            return true;
    }
}

bool EntryFlag(const char* field)
{
    return SameTextNoCase(field, "TRUE");
}

namespace {
using K = FieldKind;
const FieldKind buttonFields[] = {K::Name, K::Integer, K::Integer, K::Integer, K::Integer, K::Text};
const FieldKind textFields[] = {K::Name,    K::Text,    K::Ignored, K::Ignored,
                                K::Integer, K::Colour,  K::Integer, K::Integer,
                                K::Integer, K::Integer, K::Text,    K::Text};
const FieldKind hScrollFields[] = {K::Name,    K::Text,    K::Flag,    K::Flag,
                                   K::Integer, K::Colour,  K::Integer, K::Integer,
                                   K::Integer, K::Integer, K::Text};
const FieldKind vScrollFields[] = {K::Name,    K::Text,    K::Flag,    K::Flag,    K::Integer,
                                   K::Colour,  K::Colour,  K::Integer, K::Integer, K::Integer,
                                   K::Integer, K::Integer, K::Integer, K::Integer, K::Mode,
                                   K::Alignment, K::Text};
const FieldKind labelFields[] = {K::Name,    K::Text,    K::Flag,    K::Flag,
                                 K::Integer, K::Colour,  K::Colour,  K::Integer,
                                 K::Integer, K::Integer, K::Integer, K::Text};
}  // namespace

const std::vector<ControlLayout>& ControlLayouts()
{
    // The required counts are those of the section loaders: every field up to the last number or
    // text the control needs; the tooltip may be left out except by the horizontal scroller.
    static const std::vector<ControlLayout> layouts = {
        {"BUTTONINFO", "button", 6, 5, buttonFields, 1, 2, 3, 4},
        {"TEXTINFO", "text field", 12, 11, textFields, 6, 7, 8, 9},
        {"HSCROLLINFO", "horizontal scroller", 11, 11, hScrollFields, 6, 7, 8, 9},
        {"VSCROLLINFO", "vertical scroller", 17, 16, vScrollFields, 7, 8, 9, 10},
        {"LABELINFO", "label", 12, 11, labelFields, 7, 8, 9, 10},
    };
    return layouts;
}
