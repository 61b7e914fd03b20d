#include "controls/SkinEntry.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

GlobalText ReadSkinEntry(IniFile& ini, const char* section, int number)
{
    char key[16];
    snprintf(key, sizeof key, "%d", number);
    return ini.GetString(section, key, "");
}

SkinEntry::SkinEntry(const char* value) : buffer(), fields(), count(0)
{
    snprintf(buffer, sizeof buffer, "%s", value ? value : "");
    char* cursor = buffer;
    while (count < maxFields) {
        while (*cursor == ',')
            ++cursor;
        if (!*cursor)
            break;
        fields[count++] = cursor;
        while (*cursor && *cursor != ',')
            ++cursor;
        if (!*cursor)
            break;
        *cursor++ = '\0';
    }
}

const char* SkinEntry::Text(int index) const
{
    return (index >= 0 && index < count) ? fields[index] : nullptr;
}

namespace {
// atol, with an overflowing number clamped instead of undefined.
long ReadLong(const char* text)
{
    return text ? strtol(text, nullptr, 10) : 0;
}
}  // namespace

int SkinEntry::Int(int index) const
{
    long value = ReadLong(Text(index));
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

COLORREF SkinEntry::Colour(int index) const
{
    return static_cast<COLORREF>(ReadLong(Text(index)));
}

bool SkinEntry::Flag(int index) const
{
    const char* text = Text(index);
    return text && _stricmp(text, "TRUE") == 0;
}
