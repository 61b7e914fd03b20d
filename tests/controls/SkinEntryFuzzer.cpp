// Any text as one control-section entry, read by the reader the skin loaders use: its fields,
// numbers, flags and places against the C library's own strtok, strtoll and strcasecmp readings
// of the same text.
#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/SkinEntry.h"

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "skin entry fuzzer: %s\n", what);
        abort();
    }
}

std::vector<std::string> StrtokFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    char* state = nullptr;
    for (char* field = strtok_r(copy.data(), ",", &state); field; field = strtok_r(nullptr, ",", &state))
        fields.emplace_back(field);
    return fields;
}

// A field's number and flag as the reader gave them, against strtoll and strcasecmp.
void CheckField(const std::string& field, int value, bool flag)
{
    char* end = nullptr;
    const long long wide = std::clamp<long long>(strtoll(field.c_str(), &end, 10), INT_MIN, INT_MAX);
    const bool digits = end != field.c_str();
    Check(value == (digits ? wide : 0), "value differs from strtoll");
    const EntryNumber number = ReadEntryNumber(field.c_str());
    Check(number.digits == digits, "digits found differ from strtoll");
    if (digits) {
        while (*end == ' ' || (*end >= '\t' && *end <= '\r'))
            ++end;
        Check(number.rest == (*end != '\0'), "trailing text reported wrongly");
    } else {
        Check(!number.rest, "trailing text without digits");
    }
    Check(flag == (strcasecmp(field.c_str(), "TRUE") == 0), "flag differs from strcasecmp");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loaders see the ini value as a C string: it ends at the first zero byte.
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();
    const SkinEntry entry(text.c_str());
    std::vector<std::string> fields = StrtokFields(text);
    // The checker splits whole entries; the loaders keep the first maxFields fields.
    Check(SplitEntryFields(text.c_str()) == fields, "fields differ from strtok");
    Check(SplitEntryFields(nullptr).empty(), "null entry has fields");
    if (fields.size() > static_cast<size_t>(SkinEntry::maxFields))
        fields.resize(SkinEntry::maxFields);
    Check(entry.Count() == static_cast<int>(fields.size()), "field count differs from strtok");
    Check(entry.Text(entry.Count()) == nullptr, "a field past the last");
    for (int i = 0; i < entry.Count(); ++i) {
        Check(fields[i] == entry.Text(i), "field differs from strtok");
        CheckField(fields[i], entry.Int(i), entry.Flag(i));
    }
    CheckField(text, ReadEntryNumber(text.c_str()).value, EntryFlag(text.c_str()));
    // Every layout addresses fields inside its own field count, and every place it gives stands
    // where x + 6 would, clamped at the integer limit.
    for (const ControlLayout& layout : ControlLayouts()) {
        Check(layout.required <= layout.fields && layout.x < layout.fields &&
                  layout.y < layout.fields && layout.width < layout.fields &&
                  layout.height < layout.fields,
              "layout geometry outside its fields");
        const ControlPlace place = entry.Place(layout);
        Check(place.ShiftedX() == std::min<long long>(place.x + 6LL, INT_MAX), "shifted x");
    }
    return 0;
}
