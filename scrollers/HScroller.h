#pragma once

#include <windows.h>

#include <memory>

#include "controls/SkinEntry.h"
#include "controls/SkinFont.h"
#include "scrollers/ScrollingText.h"
#include "scrollers/ShownText.h"
#include "window/PaintBuffer.h"
#include "window/SkinImage.h"

// A one-line ticker: its own 100 ms timer moves the text 3 pixels left per tick; once the text
// has wholly left on the left it starts again just beyond the right edge.
class HScroller : public ScrollingText {
public:
    static constexpr int textCapacity = 20000;  // at most 19999 characters; longer texts are cut

    HScroller();

    // An HSCROLLINFO entry (name, face, bold, italic, height, colour, x, y, width, height,
    // tooltip): a ticker 6 pixels right of x over the pieces under its rectangle.
    static std::unique_ptr<HScroller> FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                                const ControlSite& site);

    // Background (image, or disabledImage while inactive), then the text at offsetX, composed
    // in the kept frame and copied in one blit.
    void OnPaint(HDC dc) override;

    // width and height are not used: the window takes image's size. bold and italic are the
    // skin's texts ("TRUE" in any case switches the style on). Starts the timer.
    virtual HWND CreateScroller(DWORD exStyle, const char* name, const char* title, DWORD style,
                                int x, int y, int width, int height, HWND parentWindow,
                                HINSTANCE moduleInstance, SkinImage maskImage,
                                SkinImage backgroundImage, SkinImage inactiveImage,
                                const char* fontFace, int fontHeight, COLORREF colour,
                                const char* bold, const char* italic);

    // Copies the text (null keeps the previous one), puts it just beyond the right edge and
    // measures it with the scroller's own font, as it is shown (ShownText). Nothing before the
    // window exists.
    void SetText(const char* newText) override;
    void MakeFont(const char* face, int height, COLORREF colour, const char* bold,
                  const char* italic);
    // One timer tick: step left, wrap below wrapLimit, repaint.
    void Tick() override;
    // The text into dc, whose background is drawn, the client rectangle given.
    void DrawStripText(HDC dc, RECT client);

    char text[textCapacity];
    int textLength;
    ShownText shown;
    int offsetX;
    int wrapLimit;
    int step;
    int period;
    COLORREF textColor;
    SkinFont font;
    PaintBuffer paint;
};
