#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The bytes of a Windows-style ini file (a skin), read the way the system's profile function
// GetPrivateProfileStringA reads a file in the ANSI code page:
// - lines end at LF; blanks (space, tab, CR, VT, FF) and the byte 0x1A around a line are dropped
//   and empty lines skipped;
// - a line starting "[" and holding a "]" starts a section named by what lies between the "[" and
//   the last "]", without blanks around it;
// - any other line is key=value with the blanks around the first "=" dropped, or a key without a
//   value (a line without "=", such as a ";" comment);
// - names are looked up after dropping the blanks around them, without regard to ASCII case: the
//   first section of a name answers, and in it the first key of a name;
// - a value in matching quotes ('...' or "...") is given without them.
// A UTF-8 byte-order mark at the start is skipped. The system's function does not know it: on
// Windows it spoils the first line (and with it the first section), while Wine reads such a file as
// UTF-8 and converts its values; skipped, a skin means the same everywhere, its bytes as written.
// Window-free.
class IniText {
public:
    IniText() = default;
    IniText(const char* bytes, size_t size);

    // The key's value as written, or null when the key is missing or its line has no "=".
    const std::string* Find(const char* section, const char* key) const;
    // What GetPrivateProfileStringA gives in a buffer of `capacity` bytes: the value without its
    // quotes, or for a missing key the default (null: empty) without its trailing blanks and
    // quotes; cut to capacity - 1 bytes.
    std::string Get(const char* section, const char* key, const char* defaultValue,
                    size_t capacity) const;
    // The keys of the first section of that name in file order, as the system lists them: none
    // without "=", none starting with ";".
    std::vector<std::string> Keys(const char* section) const;
    // Every section's name in file order, repeated names included.
    std::vector<std::string> SectionNames() const;
    // Lines after the first that start with a UTF-8 byte-order mark (two files joined into one):
    // such a line is read with the mark as part of its text.
    struct MarkedLine {
        int number;        // from 1
        std::string text;  // after the mark, without the blanks around it
    };
    const std::vector<MarkedLine>& MarkedLines() const { return markedLines; }

private:
    struct Key {
        std::string name;
        std::string value;
        bool hasValue;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };
    const Section* FindSection(const char* name) const;

    std::vector<Section> sections;
    std::vector<MarkedLine> markedLines;
};
