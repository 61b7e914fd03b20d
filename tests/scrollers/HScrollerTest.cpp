#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "scrollers/HScroller.h"
#include "window/GdiCounts.h"
#include "tests/support/UiSupport.h"

namespace {

// A strip 200 pixels wide at (10, 20) of a 300 x 80 skin.
const char* tickerLine = "1=TEXT_SCROLLER,Tahoma,FALSE,FALSE,40,255,10,20,200,50,Description\r\n";

class HScrollerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skin = new UiSkin("ui_ticker_skin", 300, 80);
        host = new RecordingWindow();
    }
    void TearDown() override
    {
        CloseAndFree(host);
        delete skin;
    }
    HScroller* Load(const std::string& lines)
    {
        host->CreateFromSkin("UiTickerHost", 0, 0, TestInstance(),
                             skin->Ini("[HSCROLLINFO]\r\n" + lines).c_str());
        return host->hScrollers.Get(0);
    }
    UiSkin* skin = nullptr;
    RecordingWindow* host = nullptr;
};

// Width of the text in the given font (null: the DC's default font).
int TextWidth(HWND window, HFONT font, const char* text)
{
    HDC dc = GetDC(window);
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size.cx;
}

TEST_F(HScrollerTest, EntryGivesStripSixPixelsRightWithPiecesFromItsRectangle)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    ASSERT_NE(scroller->hwnd, nullptr);
    POINT origin = ChildOrigin(scroller->hwnd);
    EXPECT_EQ(origin.x, 16);
    EXPECT_EQ(origin.y, 20);
    SIZE size = WindowSize(scroller->hwnd);
    EXPECT_EQ(size.cx, 200);
    EXPECT_EQ(size.cy, 50);
    EXPECT_EQ(PixelOf(scroller->image.Handle(), 0, 0), SkinPixel(10, 20, mainBlue));
    EXPECT_EQ(PixelOf(scroller->disabledImage.Handle(), 5, 5), SkinPixel(15, 25, disabledBlue));
    EXPECT_EQ(FindWindowExA(host->hwnd, nullptr, "TEXT_SCROLLER", nullptr), scroller->hwnd);
    EXPECT_EQ(scroller->textColor, static_cast<COLORREF>(255));
    EXPECT_EQ(scroller->step, 3);
    EXPECT_EQ(scroller->period, 100);
}

TEST_F(HScrollerTest, BoldAndItalicAreTrueInAnyCaseOnly)
{
    Load("1=H_A,Tahoma,TRUE,true,20,0,0,0,50,20,a\r\n2=H_B,Tahoma,True,yes,20,0,0,0,50,20,b\r\n"
         "3=H_C,Tahoma,1,TRUE ,20,0,0,0,50,20,c\r\n");
    ASSERT_EQ(host->hScrollers.count, 3u);
    const struct {
        LONG weight;
        BYTE italic;
    } expected[] = {{FW_BOLD, 1}, {FW_BOLD, 0}, {FW_NORMAL, 0}};
    for (DWORD i = 0; i < 3; ++i) {
        LOGFONTA font = {};
        GetObjectA(host->hScrollers.Get(i)->font.Handle(), sizeof font, &font);
        EXPECT_EQ(font.lfWeight, expected[i].weight) << i;
        EXPECT_EQ(font.lfItalic, expected[i].italic) << i;
    }
}

TEST_F(HScrollerTest, EntriesWithFewerThanElevenFieldsAreSkipped)
{
    Load("1=H_SHORT,Tahoma,FALSE,FALSE,20,0,0,0,50,20\r\n"
         "2=H_OK,Tahoma,FALSE,FALSE,20,0,0,0,50,20,t\r\n");
    ASSERT_EQ(host->hScrollers.count, 1u);
    EXPECT_EQ(FindWindowExA(host->hwnd, nullptr, "H_SHORT", nullptr), nullptr);
    EXPECT_NE(FindWindowExA(host->hwnd, nullptr, "H_OK", nullptr), nullptr);
}

TEST_F(HScrollerTest, TicksFollowTheTwoHundredByOneHundredExample)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    KillTimer(scroller->hwnd, HScroller::timerId);
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
    EXPECT_EQ(scroller->offsetX, 200);
    scroller->wrapLimit = -100;  // a text 100 pixels wide
    for (int tick = 1; tick <= 100; ++tick)
        EXPECT_EQ(SendMessageA(scroller->hwnd, WM_TIMER, HScroller::timerId, 0), 1);
    EXPECT_EQ(scroller->offsetX, -100) << "equal to the limit: kept";
    SendMessageA(scroller->hwnd, WM_TIMER, HScroller::timerId, 0);
    EXPECT_EQ(scroller->offsetX, 200) << "-103 is below the limit: back at the right edge";
}

TEST_F(HScrollerTest, TextIsMeasuredInTheScrollersOwnFont)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    const char* text = "A description in a large skin font";
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    const int ownWidth = TextWidth(scroller->hwnd, scroller->font.Handle(), text);
    const int defaultWidth = TextWidth(scroller->hwnd, nullptr, text);
    ASSERT_GT(ownWidth, defaultWidth + 50) << "the test needs a font larger than the default";
    EXPECT_EQ(scroller->wrapLimit, -ownWidth);
    EXPECT_EQ(scroller->textLength, lstrlenA(text));
}

TEST_F(HScrollerTest, EmptyTextWrapsAtTheFirstTickAndDrawsOnlyTheBackground)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    KillTimer(scroller->hwnd, HScroller::timerId);
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(scroller->wrapLimit, 0);
    EXPECT_EQ(scroller->offsetX, 200);
    SendMessageA(scroller->hwnd, WM_TIMER, HScroller::timerId, 0);
    EXPECT_EQ(scroller->offsetX, 197);
    scroller->offsetX = 1;
    SendMessageA(scroller->hwnd, WM_TIMER, HScroller::timerId, 0);
    EXPECT_EQ(scroller->offsetX, 200) << "-2 is below 0";

    Canvas canvas(200, 50, 0);
    scroller->offsetX = 0;
    scroller->OnPaint(canvas.Dc());
    for (int x = 0; x < 200; x += 13)
        EXPECT_EQ(canvas.Pixel(x, 30), SkinPixel(10 + x, 50, mainBlue)) << x;
}

TEST_F(HScrollerTest, AnyTimerIdAdvancesAndTheOwnTimerRuns)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    SendMessageA(scroller->hwnd, WM_TIMER, 4711, 0);
    EXPECT_EQ(scroller->offsetX, 197);
    // The scroller's own 100 ms timer moves the text without help.
    PumpFor(450);
    EXPECT_LE(scroller->offsetX, 197 - 6);
}

TEST_F(HScrollerTest, SetTextRestartsAndNullKeepsTheText)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    KillTimer(scroller->hwnd, HScroller::timerId);
    EXPECT_EQ(SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Song one")),
              TRUE);
    const int limit = scroller->wrapLimit;
    for (int i = 0; i < 5; ++i)
        SendMessageA(scroller->hwnd, WM_TIMER, 0, 0);
    EXPECT_EQ(scroller->offsetX, 185);
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Song one"));
    EXPECT_EQ(scroller->offsetX, 200) << "the same text again restarts";
    SendMessageA(scroller->hwnd, WM_TIMER, 0, 0);
    EXPECT_EQ(SendMessageA(scroller->hwnd, WM_SETTEXT, 0, 0), TRUE);
    EXPECT_EQ(scroller->offsetX, 200) << "a null text restarts";
    EXPECT_STREQ(scroller->text, "Song one");
    EXPECT_EQ(scroller->wrapLimit, limit);
    char title[32] = {};
    GetWindowTextA(scroller->hwnd, title, sizeof title);
    EXPECT_STREQ(title, "TEXT_SCROLLER") << "the window's own title is untouched";
}

TEST_F(HScrollerTest, TextsLongerThanTheBufferAreCut)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    std::string longText(25000, 'a');
    longText[19998] = 'z';
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longText.c_str()));
    EXPECT_EQ(scroller->textLength, 19999);
    EXPECT_EQ(scroller->text[19998], 'z');
    EXPECT_EQ(scroller->text[19999], '\0');
    std::string exact(19999, 'b');
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(exact.c_str()));
    EXPECT_EQ(scroller->textLength, 19999);
}

TEST_F(HScrollerTest, PaintsTextAtItsOffsetOverTheActiveOrInactiveBackground)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    KillTimer(scroller->hwnd, HScroller::timerId);
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("WWW"));
    scroller->offsetX = 100;
    Canvas canvas(200, 50, 0);
    scroller->OnPaint(canvas.Dc());
    int leftmostText = -1;
    for (int x = 0; x < 200 && leftmostText < 0; ++x)
        for (int y = 0; y < 50; ++y)
            if ((canvas.Pixel(x, y) & 0xFF) < mainBlue) {
                leftmostText = x;
                break;
            }
    EXPECT_GE(leftmostText, 100);
    EXPECT_LE(leftmostText, 106);
    EXPECT_EQ(canvas.Pixel(50, 40), SkinPixel(60, 60, mainBlue));

    scroller->SetAppActive(FALSE);
    Canvas inactive(200, 50, 0);
    scroller->OnPaint(inactive.Dc());
    EXPECT_EQ(inactive.Pixel(50, 40), SkinPixel(60, 60, disabledBlue));
}

// The frame keeps the font selected between paints: a font made anew must be drawn with at the
// next paint, and the old one deleted, not left selected.
TEST_F(HScrollerTest, AFontMadeAnewIsUsedAtTheNextPaint)
{
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    KillTimer(scroller->hwnd, HScroller::timerId);
    SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("WWW"));
    auto rightmostText = [&] {
        scroller->offsetX = 0;
        Canvas canvas(200, 50, 0);
        scroller->OnPaint(canvas.Dc());
        int right = -1;
        for (int x = 0; x < 200; ++x)
            for (int y = 0; y < 50; ++y)
                if ((canvas.Pixel(x, y) & 0xFF) < mainBlue)
                    right = x;
        return right;
    };
    int large = rightmostText();
    long fonts = LiveGdiObjects(GdiKind::Font);
    scroller->MakeFont("Tahoma", 12, 255, "FALSE", "FALSE");
    EXPECT_EQ(LiveGdiObjects(GdiKind::Font), fonts);
    int small = rightmostText();
    EXPECT_GT(small, 0);
    EXPECT_LT(small, large);
}

// A text shows as typed: UTF-8 through the wide functions, the ANSI code page as before, "&" as
// itself and "&&" as one "&". Each strip must be, pixel for pixel, the wide drawing of what the text
// should show, and the text must wrap after that drawing's width.
TEST_F(HScrollerTest, TextsShowAsTyped)
{
    ASSERT_EQ(GetACP(), 1252u) << "the Windows-1252 case needs the ANSI code page 1252 (LC_ALL=C.UTF-8)";
    const struct {
        const char* name;
        const char* bytes;
        const wchar_t* shows;
    } cases[] = {
        {"AmpersandShows", "R&B", L"R&B"},
        {"DoubledAmpersandShowsOne", "Rock && Roll &&&", L"Rock & Roll &&"},
        {"Utf8", "Caf\xC3\xA9 \xC3\x9Cmlaut \xE2\x80\x94 na\xC3\xAFve", L"Caf\u00e9 \u00dcmlaut \u2014 na\u00efve"},
        {"Windows1252", "Caf\xE9 \xDCmlaut \x97 na\xEFve", L"Caf\u00e9 \u00dcmlaut \u2014 na\u00efve"},
        {"GreekAndCyrillic", "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7 \xD0\x9C\xD0\xB8\xD1\x80",
         L"\u039a\u03b1\u03bb\u03b7 \u041c\u0438\u0440"},
        {"CutSequenceLeftOut", "\xCE\x9A\xCE\xB1\xCE", L"\u039a\u03b1"},
    };
    HScroller* scroller = Load(tickerLine);
    ASSERT_NE(scroller, nullptr);
    KillTimer(scroller->hwnd, HScroller::timerId);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SendMessageA(scroller->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.bytes));
        scroller->offsetX = 7;
        Canvas strip(200, 50, 0);
        scroller->OnPaint(strip.Dc());

        Canvas expected(200, 50, 0);
        DrawImage(expected.Dc(), scroller->image);
        SetBkMode(expected.Dc(), TRANSPARENT);
        SetTextColor(expected.Dc(), scroller->textColor);
        HGDIOBJ previous = SelectObject(expected.Dc(), scroller->font.Handle());
        RECT area = {7, 0, 200, 50};
        DrawTextW(expected.Dc(), c.shows, -1, &area, DT_SINGLELINE | DT_NOPREFIX);
        RECT measured = {0, 0, 200, 50};
        DrawTextW(expected.Dc(), c.shows, -1, &measured, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        SelectObject(expected.Dc(), previous);

        EXPECT_EQ(scroller->wrapLimit, measured.left - measured.right);
        int differing = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 200; ++x)
                differing += strip.Pixel(x, y) != expected.Pixel(x, y);
        EXPECT_EQ(differing, 0);
    }
}

}  // namespace
