#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// A scrolling text as it is drawn: as its maker typed it. A UTF-8 text (see TextEncoding) is drawn
// and measured with the wide functions, so every script the font has shows; any other text is in
// the ANSI code page and goes through the ANSI functions as before. "&" is no shortcut marker: it
// shows as itself. "&&" shows as one "&", as it always has, so a disk that doubled it to show one
// keeps its text.
class ShownText {
public:
    // The text of `length` bytes; a UTF-8 sequence cut short at its end is left out.
    void Set(const char* bytes, size_t length);
    void Clear() { Set("", 0); }

    bool Wide() const { return wide; }
    // In characters of the shown text (bytes or UTF-16 units).
    size_t Length() const { return wide ? wideText.size() : narrowText.size(); }
    // Where the line after the one holding `from` starts: after its line feed, or Length().
    size_t NextLine(size_t from) const;
    // True when a carriage return is in the text (DrawText lays such lines out its own way).
    bool HasCarriageReturn() const;

    // DrawText of the whole text, or of [from, to), with DT_NOPREFIX added to `format`.
    int Draw(HDC dc, RECT* rect, UINT format) const { return Draw(dc, 0, Length(), rect, format); }
    int Draw(HDC dc, size_t from, size_t to, RECT* rect, UINT format) const;

private:
    bool wide = false;
    std::string narrowText;
    std::wstring wideText;
};
