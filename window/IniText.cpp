#include "window/IniText.h"

#include <cstring>

#include "descriptor/TextEncoding.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

// The text without the blanks around it.
std::string Trimmed(const char* text, size_t length)
{
    size_t start = 0;
    while (start < length && IsBlank(text[start]))
        ++start;
    while (length > start && IsBlank(text[length - 1]))
        --length;
    return std::string(text + start, length - start);
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool SameName(const std::string& name, const std::string& wanted)
{
    if (name.size() != wanted.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (Upper(name[i]) != Upper(wanted[i]))
            return false;
    return true;
}

std::string Wanted(const char* name)
{
    return name ? Trimmed(name, strlen(name)) : std::string();
}

// A value in matching quotes loses them.
std::string Unquoted(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

IniText::IniText(const char* bytes, size_t size)
{
    if (!bytes)
        return;
    const char* at = bytes;
    const char* end = bytes + size;
    if (FindByteOrderMark(bytes, size) == ByteOrderMark::Utf8)
        at += sizeof utf8ByteOrderMark;
    // Keys before the first section belong to no section and are never found.
    Section* current = nullptr;
    for (int number = 1; at < end; ++number) {
        const char* feed = static_cast<const char*>(memchr(at, '\n', static_cast<size_t>(end - at)));
        const char* lineEnd = feed ? feed : end;
        const size_t length = static_cast<size_t>(lineEnd - at);
        if (number > 1 && FindByteOrderMark(at, length) == ByteOrderMark::Utf8)
            markedLines.push_back({number, Trimmed(at + sizeof utf8ByteOrderMark,
                                                   length - sizeof utf8ByteOrderMark)});
        const std::string line = Trimmed(at, length);
        at = feed ? feed + 1 : end;
        if (line.empty())
            continue;
        const size_t close = line.rfind(']');
        if (line[0] == '[' && close != std::string::npos) {
            sections.push_back(Section{Trimmed(line.data() + 1, close - 1), {}});
            current = &sections.back();
            continue;
        }
        const size_t equals = line.find('=');
        Key key;
        key.hasValue = equals != std::string::npos;
        key.name = Trimmed(line.data(), key.hasValue ? equals : line.size());
        if (key.hasValue)
            key.value = Trimmed(line.data() + equals + 1, line.size() - equals - 1);
        if (current && !key.name.empty())
            current->keys.push_back(key);
    }
}

const IniText::Section* IniText::FindSection(const char* name) const
{
    const std::string wanted = Wanted(name);
    for (const Section& section : sections)
        if (!section.name.empty() && SameName(section.name, wanted))
            return &section;
    return nullptr;
}

const std::string* IniText::Find(const char* section, const char* key) const
{
    const Section* found = FindSection(section);
    if (!found)
        return nullptr;
    const std::string wanted = Wanted(key);
    for (const Key& k : found->keys)
        if (SameName(k.name, wanted))
            return k.hasValue ? &k.value : nullptr;
    return nullptr;
}

std::string IniText::Get(const char* section, const char* key, const char* defaultValue,
                         size_t capacity) const
{
    if (capacity == 0)
        return std::string();
    const std::string* value = Find(section, key);
    std::string text;
    if (value) {
        text = Unquoted(*value);
    } else if (defaultValue) {
        // Trailing blanks of a default are dropped, all but its first character.
        text = defaultValue;
        while (text.size() > 1 && text.back() == ' ')
            text.pop_back();
        text = Unquoted(text);
    }
    // A value holding a NUL byte ends there, as in the system's buffer.
    text.resize(strnlen(text.c_str(), capacity - 1));
    return text;
}

std::vector<std::string> IniText::Keys(const char* section) const
{
    std::vector<std::string> keys;
    if (const Section* found = FindSection(section))
        for (const Key& k : found->keys)
            if (k.hasValue && k.name[0] != ';')
                keys.push_back(k.name);
    return keys;
}

std::vector<std::string> IniText::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section& section : sections)
        names.push_back(section.name);
    return names;
}
