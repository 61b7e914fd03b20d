// Any bytes as a skin file: every lookup stays within its buffer and agrees with the key lists,
// and reading never depends on anything but the bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "window/IniText.h"

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "ini text fuzzer: %s\n", what);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const IniText text(reinterpret_cast<const char*>(data), size);
    const IniText again(reinterpret_cast<const char*>(data), size);
    for (const std::string& section : text.SectionNames()) {
        for (const std::string& key : text.Keys(section.c_str())) {
            // A listed key is found, unless an earlier key of the same name has no value.
            const std::string* value = text.Find(section.c_str(), key.c_str());
            const std::string got = text.Get(section.c_str(), key.c_str(), "d", 64);
            Check(got.size() < 64, "value longer than its buffer");
            Check(got == again.Get(section.c_str(), key.c_str(), "d", 64), "reading differs");
            Check(value || got == "d", "a missing value did not give the default");
        }
        Check(text.Get(section.c_str(), "1", nullptr, 1).empty(), "a one-byte buffer holds text");
    }
    return 0;
}
