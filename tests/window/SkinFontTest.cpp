#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "controls/SkinFont.h"
#include "tests/window/TestSupport.h"
#include "window/GdiCounts.h"
#include "window/SkinImage.h"

namespace {

TEST(SkinFont, MakesTheFontWithTheSkinArguments)
{
    long before = LiveGdiObjects(GdiKind::Font);
    {
        SkinFont font;
        ASSERT_TRUE(font.Make("Arial", -14, true, true));
        LOGFONTA log = {};
        ASSERT_TRUE(GetObjectA(font.Handle(), sizeof log, &log));
        EXPECT_EQ(log.lfHeight, -14);
        EXPECT_EQ(log.lfWidth, 0);
        EXPECT_EQ(log.lfWeight, FW_BOLD);
        EXPECT_EQ(log.lfItalic, 1);
        EXPECT_EQ(log.lfUnderline, 0);
        EXPECT_EQ(log.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(log.lfOutPrecision, OUT_TT_PRECIS);
        EXPECT_EQ(log.lfQuality, ANTIALIASED_QUALITY);
        EXPECT_STREQ(log.lfFaceName, "Arial");
        HFONT first = font.Handle();
        ASSERT_TRUE(font.Make("Tahoma", 12, false, false));
        EXPECT_EQ(GetObjectType(first), 0u);  // the previous font is deleted
        ASSERT_TRUE(GetObjectA(font.Handle(), sizeof log, &log));
        EXPECT_EQ(log.lfWeight, FW_NORMAL);
        EXPECT_EQ(log.lfItalic, 0);
        EXPECT_EQ(LiveGdiObjects(GdiKind::Font), before + 1);
    }
    EXPECT_EQ(LiveGdiObjects(GdiKind::Font), before);
}

TEST(SkinFont, SingleLineTextIsTransparentIndentedAndCentred)
{
    // A white 200 x 40 child window; text drawn into a memory picture of the same size.
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 40, nullptr, nullptr,
                                  TestInstance(), nullptr);
    ASSERT_NE(window, nullptr);
    SkinImage canvas(MakeBitmap(200, 40, std::vector<unsigned>(200 * 40, 0xFFFFFF)));
    SkinFont font;
    font.Make("Arial", -20, true, false);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, canvas.Handle());
    DrawSingleLineText(dc, window, font.Handle(), RGB(255, 0, 0), "MMMM");
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(dc, previous);
    DeleteDC(dc);
    DestroyWindow(window);

    int inked = 0, left = 200, top = 40, bottom = -1, nonWhiteNonRed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            unsigned c = PixelOf(canvas.Handle(), x, y);
            if (c == 0xFFFFFF)
                continue;
            ++inked;
            left = x < left ? x : left;
            top = y < top ? y : top;
            bottom = y > bottom ? y : bottom;
            // Glyph pixels are red, blended with white at their edges: never more green than red.
            if (((c >> 8) & 0xFF) > ((c >> 16) & 0xFF))
                ++nonWhiteNonRed;
        }
    EXPECT_GT(inked, 50);
    EXPECT_GE(left, 4);  // the left edge moves 4 pixels right
    EXPECT_LT(left, 12);
    EXPECT_EQ(nonWhiteNonRed, 0);
    // Vertically centred: the ink is about as far from the top as from the bottom.
    EXPECT_LE(std::abs(top - (39 - bottom)), 6);
}

TEST(SkinFont, SingleLineTextPutsTheDcsOwnFontBack)
{
    // A DC lent by WM_PRINTCLIENT belongs to the caller: it must not keep our font selected.
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 60, 20, nullptr, nullptr,
                                  TestInstance(), nullptr);
    SkinImage canvas(MakeBitmap(60, 20, std::vector<unsigned>(60 * 20, 0xFFFFFF)));
    SkinFont font;
    font.Make("Arial", -12, false, false);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, canvas.Handle());
    HGDIOBJ own = GetCurrentObject(dc, OBJ_FONT);
    DrawSingleLineText(dc, window, font.Handle(), RGB(0, 0, 0), "Text");
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DestroyWindow(window);
}

}  // namespace
