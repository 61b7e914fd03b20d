#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "controls/SkinEntry.h"
#include "controls/SkinFont.h"
#include "tests/window/TestSupport.h"
#include "window/GdiCounts.h"
#include "window/SkinImage.h"

namespace {

std::vector<std::string> Fields(const SkinEntry& entry)
{
    std::vector<std::string> fields;
    for (int i = 0; i < entry.Count(); ++i)
        fields.push_back(entry.Text(i));
    return fields;
}

TEST(SkinEntry, SplitsLikeStrtok)
{
    using V = std::vector<std::string>;
    struct Case {
        const char* value;
        V fields;
    } cases[] = {
        {"BUTTON_PLAY,10,,20,30,40,Play", V{"BUTTON_PLAY", "10", "20", "30", "40", "Play"}},
        {",,a,b,,", V{"a", "b"}},
        {"one", V{"one"}},
        {"", V{}},
        {",,,", V{}},
        {" a , b ", V{" a ", " b "}},
        {"LABEL_X,1,2,3,4,Big Font,12,TRUE", V{"LABEL_X", "1", "2", "3", "4", "Big Font", "12", "TRUE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Fields(SkinEntry(c.value)), c.fields);
    }
    EXPECT_EQ(SkinEntry(nullptr).Count(), 0);
}

TEST(SkinEntry, TooManyFieldsKeepsTheFirst)
{
    std::string value;
    for (int i = 0; i < 40; ++i)
        value += std::to_string(i) + ",";
    SkinEntry entry(value.c_str());
    EXPECT_EQ(entry.Count(), SkinEntry::maxFields);
    EXPECT_EQ(entry.Int(SkinEntry::maxFields - 1), SkinEntry::maxFields - 1);
}

TEST(SkinEntry, NumbersReadLikeAtoi)
{
    SkinEntry entry(" 20,0x10,-5,+7,12abc,abc,99999999999,255,16711680");
    EXPECT_EQ(entry.Int(0), 20);
    EXPECT_EQ(entry.Int(1), 0);
    EXPECT_EQ(entry.Int(2), -5);
    EXPECT_EQ(entry.Int(3), 7);
    EXPECT_EQ(entry.Int(4), 12);
    EXPECT_EQ(entry.Int(5), 0);
    EXPECT_EQ(entry.Int(6), 2147483647);  // clamped, not undefined
    EXPECT_EQ(entry.Colour(7), RGB(255, 0, 0));
    EXPECT_EQ(entry.Colour(8), RGB(0, 0, 255));
    EXPECT_EQ(entry.Int(40), 0);  // past the end
    EXPECT_EQ(entry.Text(40), nullptr);
    EXPECT_FALSE(entry.Has(10));
    EXPECT_TRUE(entry.Has(9));
}

TEST(SkinEntry, FlagsAreTrueOnlyForTrueInAnyCase)
{
    SkinEntry entry("TRUE,true,True,TRUE , TRUE,FALSE,1,yes,TRU");
    std::vector<bool> expected = {true, true, true, false, false, false, false, false, false};
    for (int i = 0; i < entry.Count(); ++i)
        EXPECT_EQ(entry.Flag(i), expected[i]) << entry.Text(i);
    EXPECT_FALSE(entry.Flag(20));
}

TEST(SkinEntry, ReadsNumberedKeysUntilTheFirstGap)
{
    ScratchFolder folder("entry_test");
    WriteText(folder.File("skin.ini"), "[LABELINFO]\r\n1=a\r\n2=b\r\n4=d\r\n[TEXTINFO]\r\n1=x\r\n3=\r\n");
    IniFile ini;
    ini.SetPath(folder.File("skin.ini").c_str());
    int labels = 0;
    while (ReadSkinEntry(ini, "LABELINFO", labels + 1))
        ++labels;
    EXPECT_EQ(labels, 2);
    EXPECT_FALSE(ReadSkinEntry(ini, "TEXTINFO", 3));
    EXPECT_STREQ(ReadSkinEntry(ini, "LABELINFO", 4).Get(), "d");
}

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

}  // namespace
