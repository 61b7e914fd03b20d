#include "controls/SkinEntry.h"

#include "descriptor/EntryText.h"

SkinEntry::SkinEntry(const char* value)
{
    const char* start;
    size_t length;
    for (const char* cursor = value;
         Count() < maxFields && NextEntryField(cursor, &start, &length, &cursor);)
        fields.emplace_back(start, length);
}

const char* SkinEntry::Text(int index) const
{
    return (index >= 0 && index < Count()) ? fields[index].c_str() : nullptr;
}

int SkinEntry::Int(int index) const
{
    return ReadEntryNumber(Text(index)).value;
}

std::uint32_t SkinEntry::Colour(int index) const
{
    return static_cast<std::uint32_t>(Int(index));
}

bool SkinEntry::Flag(int index) const
{
    return EntryFlag(Text(index));
}

ControlPlace SkinEntry::Place(const ControlLayout& layout) const
{
    return ControlPlace{Int(layout.x), Int(layout.y), Int(layout.width), Int(layout.height)};
}
