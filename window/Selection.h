#pragma once

#include <windows.h>

// Selects a GDI object into a DC and puts the DC's previous object back before either goes away,
// so no bitmap or font is deleted while still selected. A null object selects nothing.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object)
        : dc(dc), previous(dc && object ? SelectObject(dc, object) : nullptr)
    {
    }
    ~Selection()
    {
        if (previous)
            SelectObject(dc, previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    // Whether the object was selected.
    bool Ok() const { return previous != nullptr; }

private:
    HDC dc;
    HGDIOBJ previous;
};
