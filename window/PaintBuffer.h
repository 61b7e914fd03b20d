#pragma once

#include <windows.h>

#include "window/SkinImage.h"

// The off-screen surfaces a control that repaints ten or more times a second keeps for its whole
// life: a frame (a memory DC compatible with the control's window, holding a bitmap of the
// control's size and the control's font) and a copy of the background picture in a DC of its
// own. A frame then costs two blits and the text, with no DC, bitmap or selection made and
// undone ten or more times a second. The DCs' own objects go back in before anything is
// deleted, so no bitmap or font is ever deleted while selected.
class PaintBuffer {
public:
    PaintBuffer();
    ~PaintBuffer();
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;

    // width x height, compatible with the window's DC. False, and empty, when GDI fails or the
    // size is not positive; surfaces made before are released first.
    bool Create(HWND window, int width, int height);
    // Starts a frame: the background picture copied whole to the frame's (0, 0), the font
    // selected (null: the DC's own). The picture is copied into the kept background only when
    // another picture (or another size) is given. Null when the buffer is empty.
    HDC BeginFrame(const SkinImage& picture, HFONT font);
    // Copies the whole frame to dc at (x, y).
    void ShowAt(HDC dc, int x, int y) const;
    // Puts the DC's own font back: call it before deleting the font given to BeginFrame.
    void ReleaseFont();
    void Reset();

    bool Empty() const { return frame.dc == nullptr; }

private:
    struct Surface {
        HDC dc;
        SkinImage bitmap;
        HGDIOBJ ownBitmap;
    };
    static bool Make(Surface& surface, HDC reference, int width, int height);
    static void Release(Surface& surface);
    void UseFont(HFONT font);

    Surface frame;
    Surface background;
    int width;
    int height;
    HBITMAP backgroundSource;  // the picture the kept background is a copy of
    HGDIOBJ ownFont;
    HFONT font;
};
