#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/Label.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "window/GdiCounts.h"
#include "window/SkinWindow.h"

namespace {

const unsigned white = 0xFFFFFF, grey = 0x808080, sentinel = 0x123456;
const char* titleEntry = "LABEL_TITLE,Arial,TRUE,no,14,16777215,8421504,10,20,120,16,Title";

class LabelTest : public ::testing::Test {
protected:
    LabelTest() : files("label_skin") {}
    ~LabelTest() override { Close(); }

    Label* Load(const std::string& entries)
    {
        Close();
        window = std::make_unique<SkinWindow>();
        window->CreateFromSkin("LabelTestSkin", 0, 0, TestInstance(),
                               files.Ini("skin.ini", "[LABELINFO]\r\n" + entries).c_str());
        return window->labels.Get(0);
    }

    void Close()
    {
        if (window && window->hwnd)
            DestroyWindow(window->hwnd);
        PumpMessages();
        window.reset();
    }

    SkinFiles files;
    std::unique_ptr<SkinWindow> window;
};

TEST_F(LabelTest, TitleEntryGivesBoldArialAtXPlusSix)
{
    Label* label = Load(std::string("1=") + titleEntry + "\r\n");
    ASSERT_NE(label, nullptr);
    ASSERT_NE(label->hwnd, nullptr);
    RECT r = {};
    GetWindowRect(label->hwnd, &r);
    POINT corner = {r.left, r.top};
    ScreenToClient(window->hwnd, &corner);
    EXPECT_EQ(corner.x, 16);
    EXPECT_EQ(corner.y, 20);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 16);
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(label->font.Handle(), sizeof font, &font));
    EXPECT_EQ(font.lfHeight, 14);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(label->activeColor, 0xFFFFFFu);
    EXPECT_EQ(label->inactiveColor, RGB(128, 128, 128));
    EXPECT_EQ(window->tooltips.count, 1u);
    // Never sent text: only its piece of the skin, the rectangle at (10, 20).
    Canvas canvas(120, 16, sentinel);
    label->OnPaint(canvas.Dc());
    for (int y = 0; y < 16; y += 5)
        for (int x = 0; x < 120; x += 7)
            ASSERT_EQ(canvas.Pixel(x, y), MainPixel(10 + x, 20 + y)) << x << "," << y;
}

TEST_F(LabelTest, BoldAndItalicFlags)
{
    struct Case {
        const char* bold;
        const char* italic;
        LONG weight;
        BYTE italicFlag;
    } cases[] = {
        {"TRUE", "TRUE", FW_BOLD, 1}, {"true", "True", FW_BOLD, 1}, {"yes", "1", FW_NORMAL, 0},
        {"FALSE", "TRUE", FW_NORMAL, 1}, {"TRUE ", "no", FW_NORMAL, 0},
    };
    for (const Case& c : cases) {
        Label* label = Load(std::string("1=LABEL_X,Arial,") + c.bold + "," + c.italic +
                            ",12,1,2,0,0,40,10,Tip\r\n");
        ASSERT_NE(label, nullptr);
        LOGFONTA font = {};
        ASSERT_TRUE(GetObjectA(label->font.Handle(), sizeof font, &font));
        EXPECT_EQ(font.lfWeight, c.weight) << c.bold;
        EXPECT_EQ(font.lfItalic, c.italicFlag) << c.italic;
    }
}

TEST_F(LabelTest, SetTextKeepsTheNameAndDoesNotRepaint)
{
    Label* label = Load(std::string("1=") + titleEntry + "\r\n");
    ASSERT_NE(label, nullptr);
    ShowWindow(window->hwnd, SW_SHOWNORMAL);
    UpdateWindow(window->hwnd);
    ValidateRect(label->hwnd, nullptr);
    LRESULT result = SendMessageA(label->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Hello"));
    EXPECT_EQ(result, TRUE);
    EXPECT_STREQ(label->text, "Hello");
    RECT update = {};
    EXPECT_FALSE(GetUpdateRect(label->hwnd, &update, FALSE));
    char title[64] = {};
    GetWindowTextA(label->hwnd, title, sizeof title);
    EXPECT_STREQ(title, "LABEL_TITLE");
    SetWindowTextA(label->hwnd, "Via SetWindowText");
    EXPECT_STREQ(label->text, "Via SetWindowText");
    GetWindowTextA(label->hwnd, title, sizeof title);
    EXPECT_STREQ(title, "LABEL_TITLE");
}

TEST_F(LabelTest, LongTextsAreCut)
{
    Label* label = Load(std::string("1=") + titleEntry + "\r\n");
    ASSERT_NE(label, nullptr);
    std::string exact(499, 'a');
    SendMessageA(label->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(exact.c_str()));
    EXPECT_EQ(std::string(label->text), exact);
    std::string longer(5000, 'b');
    SendMessageA(label->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longer.c_str()));
    EXPECT_EQ(std::string(label->text), std::string(499, 'b'));
    SendMessageA(label->hwnd, WM_SETTEXT, 0, 0);
    EXPECT_STREQ(label->text, "");
}

TEST_F(LabelTest, InactiveLookSwitchesBackgroundAndColour)
{
    Label* label = Load(std::string("1=") + titleEntry + "\r\n");
    ASSERT_NE(label, nullptr);
    SendMessageA(label->hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("HHHH"));
    {
        Canvas canvas(120, 16, sentinel);
        label->OnPaint(canvas.Dc());
        EXPECT_GT(canvas.Count(white), 0);
        EXPECT_EQ(canvas.Count(grey), 0);
        EXPECT_EQ(canvas.Pixel(119, 0), MainPixel(129, 20));
        // Text starts 4 pixels in.
        EXPECT_GE(canvas.FirstColumn(white), 4);
        EXPECT_LT(canvas.FirstColumn(white), 8);
    }
    SendMessageA(window->hwnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(label->appActive, 0);
    {
        Canvas canvas(120, 16, sentinel);
        label->OnPaint(canvas.Dc());
        EXPECT_EQ(canvas.Count(white), 0);
        EXPECT_GT(canvas.Count(grey), 0);
        EXPECT_EQ(canvas.Pixel(119, 0), DisabledPixel(129, 20));
    }
    SendMessageA(window->hwnd, WM_ACTIVATEAPP, TRUE, 0);
    Canvas canvas(120, 16, sentinel);
    label->OnPaint(canvas.Dc());
    EXPECT_EQ(canvas.Pixel(119, 0), MainPixel(129, 20));
}

TEST_F(LabelTest, ShortEntriesAreSkippedAndLoadingGoesOn)
{
    Load("1=LABEL_SHORT,Arial,TRUE,no,14,1,2,10,20,120\r\n"
         "2=LABEL_NOTIP,Arial,TRUE,no,14,1,2,10,20,120,16\r\n"
         "3=" + std::string(titleEntry) + "\r\n");
    ASSERT_EQ(window->labels.count, 2u);
    char title[64] = {};
    GetWindowTextA(window->labels.Get(0)->hwnd, title, sizeof title);
    EXPECT_STREQ(title, "LABEL_NOTIP");
    // A label takes the mouse: the skin window cannot be dragged from it.
    Label* label = window->labels.Get(1);
    EXPECT_NE(SendMessageA(label->hwnd, WM_NCHITTEST, 0, MAKELPARAM(20, 25)), HTCAPTION);
}

TEST_F(LabelTest, ReleasesItsBitmapsAndFont)
{
    long bitmaps = LiveGdiObjects(GdiKind::Bitmap);
    long fonts = LiveGdiObjects(GdiKind::Font);
    ASSERT_NE(Load(std::string("1=") + titleEntry + "\r\n"), nullptr);
    EXPECT_EQ(LiveGdiObjects(GdiKind::Font), fonts + 1);
    Close();
    EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), bitmaps);
    EXPECT_EQ(LiveGdiObjects(GdiKind::Font), fonts);
}

}  // namespace
