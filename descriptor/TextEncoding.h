#pragma once

#include <cstddef>

// How a disk's text files and texts are encoded. Makers type them in any editor: modern ones save
// UTF-8 (with or without a byte-order mark), older ones the Windows ANSI code page. A text tells
// which by its bytes. Window-free.

// True when the bytes are UTF-8 holding at least one character beyond ASCII: every sequence well
// formed (no overlong forms, no surrogates, nothing above U+10FFFF), except that the last one may
// be cut short, as a length limit cuts it. A cut sequence alone does not make a text UTF-8: in the
// ANSI code page "Caf\xE9" is "Café", and its last byte only looks like the start of a sequence.
// Any other text (plain ASCII included) is in the ANSI code page.
bool IsUtf8Text(const char* text, size_t length);

// The length of the bytes without a UTF-8 sequence cut short at their end.
size_t WholeUtf8Length(const char* text, size_t length);

// The byte-order mark a file starts with.
enum class ByteOrderMark { None, Utf8, Utf16LittleEndian, Utf16BigEndian };
ByteOrderMark FindByteOrderMark(const char* bytes, size_t length);
// Its size in bytes: 3, 2, 2, or 0 for None.
size_t ByteOrderMarkSize(ByteOrderMark mark);

// EF BB BF, the UTF-8 byte-order mark.
extern const char utf8ByteOrderMark[3];
