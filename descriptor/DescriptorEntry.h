#pragma once

#include <cstddef>

// One stored descriptor line: the key before the first "=" and the value after it, each cut to its
// capacity. A line without "=" is all key with an empty value.
class DescriptorEntry {
public:
    static constexpr size_t MaxKey = 50;
    static constexpr size_t MaxValue = 5000;

    explicit DescriptorEntry(const char* line);
    virtual ~DescriptorEntry();

    DescriptorEntry(const DescriptorEntry&) = delete;
    DescriptorEntry& operator=(const DescriptorEntry&) = delete;

    const char* Key() const { return key; }
    const char* Value() const { return value; }

private:
    char key[MaxKey + 1];
    char value[MaxValue + 1];
};
