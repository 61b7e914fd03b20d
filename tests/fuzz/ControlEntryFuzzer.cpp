// Any text as one control-section entry: the field splitter, the number reader and the flag test
// against the C library's own strtok, strtoll and strcasecmp readings of the same text.
#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/ControlEntry.h"

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "control entry fuzzer: %s\n", what);
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

void CheckNumber(const std::string& field)
{
    const EntryNumber number = ReadEntryNumber(field.c_str());
    errno = 0;
    char* end = nullptr;
    long long wide = strtoll(field.c_str(), &end, 10);
    const bool digits = end != field.c_str();
    if (wide > INT_MAX)
        wide = INT_MAX;
    if (wide < INT_MIN)
        wide = INT_MIN;
    Check(number.digits == digits, "digits found differ from strtoll");
    Check(number.value == (digits ? static_cast<int>(wide) : 0), "value differs from strtoll");
    if (digits) {
        while (*end == ' ' || (*end >= '\t' && *end <= '\r'))
            ++end;
        Check(number.rest == (*end != '\0'), "trailing text reported wrongly");
    } else {
        Check(!number.rest, "trailing text without digits");
    }
    Check(EntryFlag(field.c_str()) == (strcasecmp(field.c_str(), "TRUE") == 0), "flag differs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loaders see the ini value as a C string: it ends at the first zero byte.
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();
    const std::vector<std::string> fields = SplitEntryFields(text.c_str());
    Check(fields == StrtokFields(text), "fields differ from strtok");
    for (const std::string& field : fields)
        CheckNumber(field);
    CheckNumber(text);
    Check(SplitEntryFields(nullptr).empty(), "null entry has fields");
    // Every layout must address fields inside its own field count.
    for (const ControlLayout& layout : ControlLayouts())
        Check(layout.required <= layout.fields && layout.x < layout.fields && layout.y < layout.fields &&
                  layout.width < layout.fields && layout.height < layout.fields,
              "layout geometry outside its fields");
    return 0;
}
