#include "controls/SkinFont.h"

#include "window/Selection.h"

bool SkinFont::Make(const char* face, int height, bool bold, bool italic)
{
    Reset();
    Attach(CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? 1 : 0, 0, 0,
                       DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0,
                       face));
    return !Empty();
}

void DrawSingleLineText(HDC dc, HWND window, HFONT font, COLORREF colour, const char* text)
{
    RECT client = {};
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    Selection fontIn(dc, font);
    SetTextColor(dc, colour);
    client.left += 4;
    if (text)
        DrawTextA(dc, text, lstrlenA(text), &client, DT_SINGLELINE | DT_VCENTER);
}
