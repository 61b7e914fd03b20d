#include "descriptor/EntryText.h"

#include <climits>

bool NextEntryField(const char* cursor, const char** start, size_t* length, const char** next)
{
    if (!cursor)
        return false;
    while (*cursor == ',')
        ++cursor;
    if (!*cursor)
        return false;
    const char* end = cursor;
    while (*end && *end != ',')
        ++end;
    *start = cursor;
    *length = static_cast<size_t>(end - cursor);
    *next = end;
    return true;
}

std::vector<std::string> SplitEntryFields(const char* value)
{
    std::vector<std::string> fields;
    const char* start;
    size_t length;
    for (const char* cursor = value; NextEntryField(cursor, &start, &length, &cursor);)
        fields.emplace_back(start, length);
    return fields;
}

namespace {
bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
}  // namespace

EntryNumber ReadEntryNumber(const char* text)
{
    EntryNumber number = {0, false, false};
    if (!text)
        return number;
    const char* p = text;
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
