#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "scrollers/LeftwardMotion.h"
#include "scrollers/UpwardMotion.h"
#include "scrollers/VScroller.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "window/GdiCounts.h"
#include "window/SkinWindow.h"

namespace {

const unsigned white = 0xFFFFFF, black = 0x000000, sentinel = 0x123456;

// One entry at x 10, y 5, 50 x 40; the caller picks the fields that vary.
std::string Entry(const std::string& mode, int direction, const std::string& alignment = "left",
                  int step = 2, int fontHeight = 30)
{
    return "TEXT_SCROLLER,Tahoma,TRUE,FALSE," + std::to_string(fontHeight) + ",16777215,0,10,5,50,40," +
           std::to_string(step) + ",100," + std::to_string(direction) + "," + mode + "," +
           alignment + ",Tip";
}

class VScrollerTest : public ::testing::Test {
protected:
    VScrollerTest() : files("vscroller_skin") {}
    ~VScrollerTest() override { Close(); }

    VScroller* Load(const std::string& entries)
    {
        Close();
        window = std::make_unique<SkinWindow>();
        window->CreateFromSkin("VScrollerTestSkin", 0, 0, TestInstance(),
                               files.Ini("skin.ini", "[VSCROLLINFO]\r\n" + entries).c_str());
        return window->vScrollers.Get(0);
    }
    VScroller* LoadOne(const std::string& entry) { return Load("1=" + entry + "\r\n"); }

    void Close()
    {
        if (window && window->hwnd)
            DestroyWindow(window->hwnd);
        PumpMessages();
        window.reset();
    }

    static void Ticks(VScroller* scroller, int n)
    {
        for (int i = 0; i < n; ++i)
            SendMessageA(scroller->hwnd, WM_TIMER, VScroller::timerId, 0);
    }

    // KillTimer tells whether the timer ran (and stops it).
    static bool TimerRan(VScroller* scroller) { return KillTimer(scroller->hwnd, VScroller::timerId) != 0; }

    static int Top(VScroller* scroller) { return scroller->motion->CurrentRect().top; }

    SkinFiles files;
    std::unique_ptr<SkinWindow> window;
};

TEST_F(VScrollerTest, LoadsTheEntryFields)
{
    VScroller* s = LoadOne("TEXT_SCROLLER,Tahoma,true,TRUE,-18,255,65280,10,5,50,40,3,70,1,Stay,Center,Tip");
    ASSERT_NE(s, nullptr);
    ASSERT_NE(s->hwnd, nullptr);
    EXPECT_EQ(s->step, 3);
    EXPECT_EQ(s->period, 70);
    EXPECT_EQ(s->mode, ScrollModeStay);
    EXPECT_EQ(s->vertical, 1);
    EXPECT_EQ(s->activeColor, 255u);
    EXPECT_EQ(s->inactiveColor, 65280u);
    EXPECT_EQ(s->alignment, static_cast<UINT>(DT_CENTER));
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(s->font.Handle(), sizeof font, &font));
    EXPECT_EQ(font.lfHeight, -18);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    // Window 6 pixels right of the cut rectangle, as large as the cut.
    RECT r = {};
    GetWindowRect(s->hwnd, &r);
    POINT corner = {r.left, r.top};
    ScreenToClient(window->hwnd, &corner);
    EXPECT_EQ(corner.x, 16);
    EXPECT_EQ(corner.y, 5);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 40);
    char title[64] = {};
    GetWindowTextA(s->hwnd, title, sizeof title);
    EXPECT_STREQ(title, "TEXT_SCROLLER");
    // No motion and no timer until a text arrives.
    EXPECT_FALSE(s->motion);
    EXPECT_FALSE(TimerRan(s));
    EXPECT_EQ(window->tooltips.count, 1u);
}

TEST_F(VScrollerTest, DirectionAndAlignmentWords)
{
    struct Case {
        int direction;
        const char* alignment;
        bool upward;
        UINT expected;
    } cases[] = {
        {1, "left", true, DT_LEFT},   {0, "Center", false, DT_CENTER}, {2, "RIGHT", false, DT_RIGHT},
        {-1, "middle", false, DT_LEFT}, {1, "CeNtEr", true, DT_CENTER},
    };
    for (const Case& c : cases) {
        VScroller* s = LoadOne(Entry("scroll", c.direction, c.alignment));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->alignment, c.expected) << c.alignment;
        SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("text"));
        ASSERT_TRUE(s->motion);
        ScrollRect r = s->motion->CurrentRect();
        if (c.upward) {
            EXPECT_NE(dynamic_cast<UpwardMotion*>(s->motion.get()), nullptr) << c.direction;
            EXPECT_EQ(r.top, 40);
            EXPECT_EQ(r.left, 0);
        } else {
            EXPECT_NE(dynamic_cast<LeftwardMotion*>(s->motion.get()), nullptr) << c.direction;
            EXPECT_EQ(r.left, 50);
            EXPECT_EQ(r.top, 0);
        }
    }
}

TEST_F(VScrollerTest, BarsBecomeLinesMeasuredWithTheScrollersFont)
{
    VScroller* s = LoadOne(Entry("scroll", 1, "left", 1, 30));
    ASSERT_NE(s, nullptr);
    LRESULT result = SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ag|Ag|Ag"));
    EXPECT_EQ(result, TRUE);
    EXPECT_STREQ(s->text, "Ag\nAg\nAg");
    EXPECT_EQ(s->textLength, 8);
    // The title stays the name.
    char title[64] = {};
    GetWindowTextA(s->hwnd, title, sizeof title);
    EXPECT_STREQ(title, "TEXT_SCROLLER");

    // Step 1 from the bottom (40): the top comes back to 40 after 40 + h + 2 ticks.
    int ticks = 0;
    do {
        Ticks(s, 1);
        ++ticks;
    } while (Top(s) != 40 && ticks < 1000);
    int measuredHeight = ticks - 40 - 2;

    HDC dc = GetDC(s->hwnd);
    RECT one = {0, 0, 50, 40}, three = one, plain = one;
    DrawTextA(dc, "Ag\nAg\nAg", 8, &plain, DT_CALCRECT);
    HGDIOBJ old = SelectObject(dc, s->font.Handle());
    DrawTextA(dc, "Ag", 2, &one, DT_CALCRECT);
    DrawTextA(dc, "Ag\nAg\nAg", 8, &three, DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(s->hwnd, dc);

    EXPECT_EQ(three.bottom - three.top, 3 * (one.bottom - one.top));
    EXPECT_EQ(measuredHeight, three.bottom - three.top);
    // The DC's default font would give another height: the text would rewind too early.
    EXPECT_NE(measuredHeight, plain.bottom - plain.top);
}

TEST_F(VScrollerTest, TextWithoutBarsIsOneLineHoweverLong)
{
    VScroller* s = LoadOne(Entry("scroll", 1, "left", 1, 30));
    ASSERT_NE(s, nullptr);
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ag"));
    int ticksShort = 0;
    do {
        Ticks(s, 1);
        ++ticksShort;
    } while (Top(s) != 40 && ticksShort < 1000);
    SendMessageA(s->hwnd, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("Ag Ag Ag Ag Ag Ag Ag Ag Ag Ag Ag Ag Ag Ag Ag Ag"));
    int ticksLong = 0;
    do {
        Ticks(s, 1);
        ++ticksLong;
    } while (Top(s) != 40 && ticksLong < 1000);
    EXPECT_EQ(ticksLong, ticksShort);
}

TEST_F(VScrollerTest, ShowModeNeverSetsATimer)
{
    VScroller* s = LoadOne(Entry("SHOW", 1));
    ASSERT_NE(s, nullptr);
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one|two"));
    EXPECT_FALSE(TimerRan(s));
    EXPECT_EQ(Top(s), 0);
    Ticks(s, 5);
    EXPECT_EQ(Top(s), 0);
    EXPECT_FALSE(TimerRan(s));
}

TEST_F(VScrollerTest, ScrollModeRunsItsTimer)
{
    VScroller* s = LoadOne(Entry("scroll", 1));
    ASSERT_NE(s, nullptr);
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one"));
    EXPECT_TRUE(TimerRan(s));
}

TEST_F(VScrollerTest, StayStopsAndRestartsOnNewText)
{
    VScroller* s = LoadOne(Entry("Stay", 1, "left", 2));
    ASSERT_NE(s, nullptr);
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one|two"));
    EXPECT_EQ(Top(s), 40);
    Ticks(s, 19);
    EXPECT_EQ(Top(s), 2);
    Ticks(s, 1);
    EXPECT_EQ(Top(s), 0);
    // The scroller stopped its own timer at rest.
    EXPECT_FALSE(TimerRan(s));

    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("three"));
    EXPECT_EQ(Top(s), 40);
    EXPECT_TRUE(TimerRan(s));
}

TEST_F(VScrollerTest, NullTextBlanksAndKeepsTheMotionRunning)
{
    VScroller* s = LoadOne(Entry("scroll", 1));
    ASSERT_NE(s, nullptr);
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one"));
    Ticks(s, 3);
    ScrollMotion* before = s->motion.get();
    SendMessageA(s->hwnd, WM_SETTEXT, 0, 0);
    EXPECT_EQ(s->textLength, 0);
    EXPECT_EQ(s->motion.get(), before);
    EXPECT_EQ(Top(s), 34);
    Ticks(s, 1);
    EXPECT_EQ(Top(s), 32);
    EXPECT_TRUE(TimerRan(s));
    // A later text starts a fresh motion from the bottom.
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("again"));
    EXPECT_EQ(Top(s), 40);
    EXPECT_EQ(s->textLength, 5);
}

TEST_F(VScrollerTest, HugeTextsAreCutToTheBuffer)
{
    VScroller* s = LoadOne(Entry("scroll", 1));
    ASSERT_NE(s, nullptr);
    std::string huge;
    for (int i = 0; i < 10000; ++i)
        huge += "x|";
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(huge.c_str()));
    EXPECT_EQ(s->textLength, VScroller::textCapacity - 1);
    EXPECT_EQ(s->text[VScroller::textCapacity - 1], '\0');
    EXPECT_EQ(s->text[1], '\n');
    EXPECT_EQ(s->text[VScroller::textCapacity - 2], 'x');
    // Thousands of lines: it still moves and paints.
    Ticks(s, 3);
    EXPECT_EQ(Top(s), 34);
    Canvas canvas(50, 40, sentinel);
    s->OnPaint(canvas.Dc());
    EXPECT_EQ(canvas.Pixel(43, 39), MainPixel(59, 44));
}

TEST_F(VScrollerTest, BackBufferCopyLinesUpWithTheSkin)
{
    VScroller* s = LoadOne(Entry("show", 1));
    ASSERT_NE(s, nullptr);
    Canvas canvas(50, 40, sentinel);
    s->OnPaint(canvas.Dc());
    // Window column c shows skin column 16 + c, just as the skin around the window.
    for (int y = 0; y < 40; y += 3)
        for (int c = 0; c < 44; ++c)
            ASSERT_EQ(canvas.Pixel(c, y), MainPixel(16 + c, 5 + y)) << c << "," << y;
    // Its last 6 columns lie outside the cut rectangle and are not painted.
    for (int y = 0; y < 40; y += 3)
        for (int c = 44; c < 50; ++c)
            ASSERT_EQ(canvas.Pixel(c, y), sentinel) << c << "," << y;
}

TEST_F(VScrollerTest, ActivationSwitchesBackgroundAndColour)
{
    VScroller* s = LoadOne(Entry("show", 1, "left", 2, 30));
    ASSERT_NE(s, nullptr);
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("MW"));
    {
        Canvas canvas(50, 40, sentinel);
        s->OnPaint(canvas.Dc());
        EXPECT_GT(canvas.Count(white), 0);
        EXPECT_EQ(canvas.Count(black), 0);
        EXPECT_EQ(canvas.Pixel(43, 39), MainPixel(59, 44));
        // Drawn at the buffer's left + 6: seen from the window's left edge on.
        EXPECT_LT(canvas.FirstColumn(white), 6);
    }
    SendMessageA(window->hwnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(s->appActive, 0);
    {
        Canvas canvas(50, 40, sentinel);
        s->OnPaint(canvas.Dc());
        EXPECT_EQ(canvas.Count(white), 0);
        EXPECT_GT(canvas.Count(black), 0);
        EXPECT_EQ(canvas.Pixel(43, 39), DisabledPixel(59, 44));
    }
    SendMessageA(window->hwnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(s->appActive, 1);
}

// Lines scrolled out of view are left out of the drawing: every frame must still show exactly what
// drawing the whole text shows, whichever line is cut by the top or the bottom edge.
TEST_F(VScrollerTest, OnlyVisibleLinesAreDrawnWithTheSamePixels)
{
    // Each text and the whole text as it shows: "&" as itself, "&&" as one "&".
    const std::pair<const char*, std::string> texts[] = {
        {"one|two||four|five|six|seven|eight|nine|ten|eleven|twelve",
         "one\ntwo\n\nfour\nfive\nsix\nseven\neight\nnine\nten\neleven\ntwelve"},
        {"a&|b|c&&|d|e|f|g|h|i", "a&\nb\nc&\nd\ne\nf\ng\nh\ni"}};
    for (const auto& [text, whole] : texts) {
        VScroller* s = LoadOne(Entry("scroll", 1, "center", 1, 12));
        ASSERT_NE(s, nullptr);
        SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        for (int tick = 0; tick < 190; ++tick) {
            Ticks(s, 1);
            Canvas shown(50, 40, sentinel);
            s->OnPaint(shown.Dc());
            // The frame as a plain paint makes it: background, then the whole text.
            Canvas frame(50, 40, sentinel);
            DrawImage(frame.Dc(), s->image);
            SetBkMode(frame.Dc(), TRANSPARENT);
            HGDIOBJ previous = SelectObject(frame.Dc(), s->font.Handle());
            SetTextColor(frame.Dc(), s->activeColor);
            ScrollRect current = s->motion->CurrentRect();
            RECT area = {current.left + 6, current.top, current.right, current.bottom};
            DrawTextA(frame.Dc(), whole.c_str(), static_cast<int>(whole.size()), &area,
                      s->alignment | DT_NOPREFIX);
            SelectObject(frame.Dc(), previous);
            for (int y = 0; y < 40; ++y)
                for (int c = 0; c < 44; ++c)
                    ASSERT_EQ(shown.Pixel(c, y), frame.Pixel(c + 6, y))
                        << text << " top " << current.top << " at " << c << "," << y;
        }
    }
}

// Lines show as typed: UTF-8 through the wide functions, the ANSI code page as before, "&" as
// itself and "&&" as one "&"; each frame is, pixel for pixel, the wide drawing of what it should show.
TEST_F(VScrollerTest, TextsShowAsTyped)
{
    ASSERT_EQ(GetACP(), 1252u) << "the Windows-1252 case needs the ANSI code page 1252 (LC_ALL=C.UTF-8)";
    const struct {
        const char* bytes;
        const wchar_t* shows;
    } cases[] = {
        {"R&B|a&&b", L"R&B\na&b"},
        {"Caf\xC3\xA9|na\xC3\xAFve", L"Caf\u00e9\nna\u00efve"},
        {"Caf\xE9|na\xEFve", L"Caf\u00e9\nna\u00efve"},
        {"\xCE\x9A\xCE\xB1|\xD0\x9C\xD0\xB8", L"\u039a\u03b1\n\u041c\u0438"},
    };
    VScroller* s = LoadOne(Entry("show", 1, "center", 2, 12));
    ASSERT_NE(s, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.bytes));
        Canvas shown(50, 40, sentinel);
        s->OnPaint(shown.Dc());
        Canvas frame(50, 40, sentinel);
        DrawImage(frame.Dc(), s->image);
        SetBkMode(frame.Dc(), TRANSPARENT);
        HGDIOBJ previous = SelectObject(frame.Dc(), s->font.Handle());
        SetTextColor(frame.Dc(), s->activeColor);
        RECT area = {6, 0, 50, 40};
        DrawTextW(frame.Dc(), c.shows, -1, &area, s->alignment | DT_NOPREFIX);
        SelectObject(frame.Dc(), previous);
        int differing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 44; ++x)
                differing += shown.Pixel(x, y) != frame.Pixel(x + 6, y);
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(VScrollerTest, AlignmentPlacesTheLines)
{
    int first[3];
    const char* words[3] = {"left", "center", "right"};
    for (int i = 0; i < 3; ++i) {
        VScroller* s = LoadOne(Entry("show", 1, words[i], 2, 20));
        ASSERT_NE(s, nullptr);
        SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("II"));
        Canvas canvas(50, 40, sentinel);
        s->OnPaint(canvas.Dc());
        first[i] = canvas.FirstColumn(white);
        ASSERT_GE(first[i], 0) << words[i];
    }
    EXPECT_LT(first[0], first[1]);
    EXPECT_LT(first[1], first[2]);
}

TEST_F(VScrollerTest, ShortEntriesAreSkippedAndLoadingGoesOn)
{
    Load("1=TEXT_SHORT,Tahoma,TRUE,FALSE,20,1,2,10,5,50,40,2,100,1,scroll\r\n"
         "2=TEXT_NOTIP,Tahoma,TRUE,FALSE,20,1,2,10,5,50,40,2,100,1,scroll,left\r\n"
         "3=" + Entry("scroll", 1) + "\r\n"
         "5=" + Entry("scroll", 1) + "\r\n");
    ASSERT_EQ(window->vScrollers.count, 2u);
    char title[64] = {};
    GetWindowTextA(window->vScrollers.Get(0)->hwnd, title, sizeof title);
    EXPECT_STREQ(title, "TEXT_NOTIP");
    EXPECT_EQ(window->tooltips.count, 2u);
}

TEST_F(VScrollerTest, ReleasesItsBitmapsAndFont)
{
    long bitmaps = LiveGdiObjects(GdiKind::Bitmap);
    long fonts = LiveGdiObjects(GdiKind::Font);
    VScroller* s = LoadOne(Entry("scroll", 1));
    ASSERT_NE(s, nullptr);
    SendMessageA(s->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one"));
    EXPECT_GT(LiveGdiObjects(GdiKind::Bitmap), bitmaps);
    Close();
    EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), bitmaps);
    EXPECT_EQ(LiveGdiObjects(GdiKind::Font), fonts);
}

}  // namespace
