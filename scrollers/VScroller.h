#pragma once

#include <windows.h>

#include <memory>

#include "controls/SkinEntry.h"
#include "controls/SkinFont.h"
#include "scrollers/ScrollMode.h"
#include "scrollers/ScrollMotion.h"
#include "scrollers/ScrollingText.h"
#include "scrollers/ShownText.h"
#include "window/PaintBuffer.h"
#include "window/SkinImage.h"

// A block of lines moving through a piece of the skin (upwards or leftwards), or standing still.
// Texts arrive with WM_SETTEXT; a vertical bar starts a new line. Painting goes through a kept
// off-screen frame so the moving text does not flicker.
class VScroller : public ScrollingText {
public:
    static constexpr int textCapacity = 8000;  // at most 7999 characters; longer texts are cut

    VScroller();

    // A VSCROLLINFO entry (name, face, bold, italic, height, active and inactive colour, x, y,
    // width, height, step, period, direction, mode, alignment, tooltip): a scroller 6 pixels right
    // of x over the pieces under its rectangle; direction 1 moves the text upwards.
    static std::unique_ptr<VScroller> FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                                const ControlSite& site);

    void OnPaint(HDC dc) override;

    // The window takes the size of image; width and height are not used. No timer starts here.
    virtual HWND CreateScroller(DWORD exStyle, const char* className, const char* title, DWORD style,
                                int x, int y, int width, int height, HWND parent,
                                HINSTANCE moduleInstance, const char* alignmentName,
                                SkinImage maskImage, SkinImage newImage, SkinImage newDisabledImage,
                                const char* fontFace, int fontHeight, COLORREF newActiveColor,
                                COLORREF newInactiveColor, const char* bold, const char* italic,
                                int newStep, int newPeriod, const char* modeName, bool newVertical);

    // Null text blanks the control and leaves the current motion (and its timer) running.
    void SetText(const char* newText) override;
    void MakeFont(const char* face, int height, COLORREF newActiveColor, COLORREF newInactiveColor,
                  const char* bold, const char* italic);
    void Tick() override;
    // The lines of text that reach into the frame, laid out in area as DrawText lays out all of
    // them: a long credits text scrolled mostly out of view costs only its visible lines.
    void DrawVisibleLines(HDC frame, RECT area);

    char text[textCapacity];
    int textLength;
    // The text as drawn and measured.
    ShownText shown;
    int step;
    int period;
    ScrollMode mode;
    BYTE vertical;
    COLORREF activeColor;
    COLORREF inactiveColor;
    SkinFont font;
    PaintBuffer backBuffer;
    UINT alignment;
    std::unique_ptr<ScrollMotion> motion;
    // DrawTextA's line height in the frame for lineFont (0: not known yet).
    int lineHeight;
    HFONT lineFont;
};
