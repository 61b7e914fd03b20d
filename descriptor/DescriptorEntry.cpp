#include "descriptor/DescriptorEntry.h"

#include <cstring>

namespace {

void CopyCut(char* target, size_t capacity, const char* text, size_t length)
{
    if (length > capacity)
        length = capacity;
    memcpy(target, text, length);
    target[length] = '\0';
}

}

DescriptorEntry::DescriptorEntry(const char* line)
{
    const char* equals = strchr(line, '=');
    if (equals) {
        CopyCut(key, MaxKey, line, static_cast<size_t>(equals - line));
        CopyCut(value, MaxValue, equals + 1, strlen(equals + 1));
    } else {
        CopyCut(key, MaxKey, line, strlen(line));
        value[0] = '\0';
    }
}

DescriptorEntry::~DescriptorEntry() {}
