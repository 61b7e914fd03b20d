#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "controls/TextField.h"
#include "tests/support/UiSupport.h"

namespace {

class TextFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skin = new UiSkin("ui_text_skin", 300, 60);
        host = new RecordingWindow();
    }
    void TearDown() override
    {
        CloseAndFree(host);
        delete skin;
    }
    TextField* Load(const std::string& lines)
    {
        host->CreateFromSkin("UiTextHost", 0, 0, TestInstance(),
                             skin->Ini("[TEXTINFO]\r\n" + lines).c_str());
        return host->textFields.Get(0);
    }
    // Paints the field on a white canvas of its size; returns the number of inked pixels.
    int Ink(TextField& field, int* leftmost = nullptr, int* rightmost = nullptr)
    {
        SIZE size = WindowSize(field.hwnd);
        Canvas canvas(size.cx, size.cy, 0xFFFFFF);
        field.OnPaint(canvas.Dc());
        if (leftmost)
            *leftmost = canvas.LeftmostChanged();
        if (rightmost)
            *rightmost = canvas.RightmostChanged();
        return canvas.Changed();
    }
    UiSkin* skin = nullptr;
    RecordingWindow* host = nullptr;
};

TEST_F(TextFieldTest, EntryGivesFieldSixPixelsRightOfItsX)
{
    TextField* field = Load("1=TEXT_SONGNUM,Tahoma,-,-,12,65280,200,10,30,14,00,Song number\r\n");
    ASSERT_NE(field, nullptr);
    ASSERT_NE(field->hwnd, nullptr);
    POINT origin = ChildOrigin(field->hwnd);
    EXPECT_EQ(origin.x, 206);
    EXPECT_EQ(origin.y, 10);
    SIZE size = WindowSize(field->hwnd);
    EXPECT_EQ(size.cx, 30);
    EXPECT_EQ(size.cy, 14);
    EXPECT_EQ(field->textColor, static_cast<COLORREF>(65280));
    EXPECT_EQ(FindWindowExA(host->hwnd, nullptr, "TEXT_SONGNUM", nullptr), field->hwnd);
    char text[16] = {};
    GetWindowTextA(field->hwnd, text, sizeof text);
    EXPECT_STREQ(text, "00");
    EXPECT_EQ(host->tooltips.count, 1u);

    // The font is 12-pixel Tahoma in normal weight, upright.
    LOGFONTA font = {};
    ASSERT_EQ(GetObjectA(field->font.Handle(), sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, 12);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
}

TEST_F(TextFieldTest, FieldsThreeAndFourNeverChangeTheFont)
{
    Load("1=TEXT_A,Tahoma,TRUE,TRUE,12,0,0,0,30,14,x,tip\r\n");
    TextField* field = host->textFields.Get(0);
    ASSERT_NE(field, nullptr);
    LOGFONTA font = {};
    GetObjectA(field->font.Handle(), sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfItalic, 0);
}

TEST_F(TextFieldTest, ShortEntriesAreSkipped)
{
    Load("1=TEXT_SHORT,Tahoma,-,-,12,0,0,0,30\r\n2=TEXT_OK,Tahoma,-,-,12,0,0,20,30,14,7\r\n");
    ASSERT_EQ(host->textFields.count, 1u);
    EXPECT_NE(FindWindowExA(host->hwnd, nullptr, "TEXT_OK", nullptr), nullptr);
    EXPECT_EQ(FindWindowExA(host->hwnd, nullptr, "TEXT_SHORT", nullptr), nullptr);
}

TEST_F(TextFieldTest, ShowsAtMost127CharactersStartingFourPixelsIn)
{
    TextField* field = Load("1=TEXT_LONG,Tahoma,-,-,-14,0,0,0,1500,20, ,tip\r\n");
    ASSERT_NE(field, nullptr);
    // Blanks draw nothing: only characters past the first 127 could show.
    const std::string blanks(127, ' ');
    field->SetText((blanks + std::string(73, 'W')).c_str());
    EXPECT_EQ(Ink(*field), 0) << "characters after the 127th are not drawn";
    field->SetText((std::string(126, ' ') + "W").c_str());
    EXPECT_GT(Ink(*field), 0) << "the 127th character is drawn";

    int leftmost = -1;
    field->SetText("W");
    EXPECT_GT(Ink(*field, &leftmost), 0);
    EXPECT_GE(leftmost, 4);
    EXPECT_LE(leftmost, 6);
}

TEST_F(TextFieldTest, EmptyTextDrawsNothingAndLongTextIsCutAtTheEdge)
{
    TextField* field = Load("1=TEXT_E,Tahoma,-,-,-14,0,0,0,40,20,x,tip\r\n");
    ASSERT_NE(field, nullptr);
    field->SetText("");
    EXPECT_EQ(Ink(*field), 0);
    // Wider than the field: one line, cut at the right edge, nothing below the line.
    field->SetText("WWWWWWWWWWWWWWWWWWWW");
    SIZE size = WindowSize(field->hwnd);
    Canvas canvas(size.cx, 60, 0xFFFFFF);
    field->OnPaint(canvas.Dc());
    int below = 0;
    for (int y = size.cy; y < 60; ++y)
        for (int x = 0; x < size.cx; ++x)
            below += canvas.Pixel(x, y) != 0xFFFFFF;
    EXPECT_EQ(below, 0) << "never wrapped onto a second line";
}

TEST_F(TextFieldTest, SetTextRepaintsTheParentBeforeTheField)
{
    TextField* field = Load("1=TEXT_R,Tahoma,-,-,12,0,10,10,40,20,x,tip\r\n");
    ASSERT_NE(field, nullptr);
    ShowWindow(host->hwnd, SW_SHOWNORMAL);
    UpdateWindow(host->hwnd);
    PumpMessages();
    RECT parentUpdate = {}, fieldUpdate = {};
    ASSERT_FALSE(GetUpdateRect(host->hwnd, &parentUpdate, FALSE));
    field->SetText("12:34");
    EXPECT_TRUE(GetUpdateRect(host->hwnd, &parentUpdate, FALSE)) << "parent invalidated";
    EXPECT_TRUE(GetUpdateRect(field->hwnd, &fieldUpdate, FALSE)) << "field invalidated";
    char text[16] = {};
    GetWindowTextA(field->hwnd, text, sizeof text);
    EXPECT_STREQ(text, "12:34");
}

TEST_F(TextFieldTest, ActivationLeavesTextFieldsAlone)
{
    TextField* field = Load("1=TEXT_A,Tahoma,-,-,-14,255,0,0,60,20,AB,tip\r\n");
    ASSERT_NE(field, nullptr);
    int before = Ink(*field);
    SendMessageA(host->hwnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(Ink(*field), before);
    EXPECT_GT(before, 0);
}

}  // namespace
