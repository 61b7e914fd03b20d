#pragma once

#include <windows.h>

#include "window/GdiCounts.h"
#include "window/Owner.h"

// Owner of one control font.
class SkinFont : public Owner<GdiObject<HFONT, GdiKind::Font>> {
public:
    // Replaces the font held before with CreateFontA(height, 0, 0, 0, bold ? 700 : 400,
    // italic ? 1 : 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
    // ANTIALIASED_QUALITY, 0, face). Text fields pass bold and italic false.
    bool Make(const char* face, int height, bool bold, bool italic);
    HFONT Handle() const { return Get(); }
};

// One line of text in the control's client area: transparent background, the font selected, the
// colour set, the left edge moved 4 pixels right, DT_SINGLELINE | DT_VCENTER. The DC's own font is
// put back afterwards: a DC lent by WM_PRINTCLIENT belongs to the caller.
void DrawSingleLineText(HDC dc, HWND window, HFONT font, COLORREF colour, const char* text);
