#include "descriptor/TextEncoding.h"

#include <cstring>

const char utf8ByteOrderMark[3] = {'\xEF', '\xBB', '\xBF'};

namespace {

// Where the UTF-8 reading of the bytes ends: at `length` when every sequence is well formed, at
// the start of a last sequence cut short by the end (*cut set), or at the first bad byte.
// *whole tells whether a complete sequence of two bytes or more was read.
size_t ReadUtf8(const unsigned char* bytes, size_t length, bool* cut, bool* whole)
{
    *cut = false;
    *whole = false;
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t follow = 0;
        unsigned char low = 0x80;
        unsigned char top = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            top = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            top = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
        } else {
            return i;
        }
        for (size_t k = 1; k <= follow; ++k) {
            if (i + k == length) {
                *cut = true;
                return i;
            }
            const unsigned char next = bytes[i + k];
            const unsigned char min = k == 1 ? low : 0x80;
            const unsigned char max = k == 1 ? top : 0xBF;
            if (next < min || next > max)
                return i;
        }
        i += follow + 1;
        *whole = true;
    }
    return i;
}

}  // namespace

bool IsUtf8Text(const char* text, size_t length)
{
    if (!text)
        return false;
    bool cut = false;
    bool whole = false;
    const size_t end = ReadUtf8(reinterpret_cast<const unsigned char*>(text), length, &cut, &whole);
    return whole && (end == length || cut);
}

size_t WholeUtf8Length(const char* text, size_t length)
{
    if (!text)
        return 0;
    bool cut = false;
    bool whole = false;
    const size_t end = ReadUtf8(reinterpret_cast<const unsigned char*>(text), length, &cut, &whole);
    return cut ? end : length;
}

ByteOrderMark FindByteOrderMark(const char* bytes, size_t length)
{
    if (!bytes)
        return ByteOrderMark::None;
    if (length >= 3 && memcmp(bytes, utf8ByteOrderMark, 3) == 0)
        return ByteOrderMark::Utf8;
    if (length >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
        return ByteOrderMark::Utf16LittleEndian;
    if (length >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
        return ByteOrderMark::Utf16BigEndian;
    return ByteOrderMark::None;
}

size_t ByteOrderMarkSize(ByteOrderMark mark)
{
    switch (mark) {
    case ByteOrderMark::Utf8: return 3;
    case ByteOrderMark::Utf16LittleEndian:
    case ByteOrderMark::Utf16BigEndian: return 2;
    default: return 0;
    }
}
