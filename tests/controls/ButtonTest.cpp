#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "controls/Button.h"
#include "tests/support/UiSupport.h"

namespace {

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skin = new UiSkin("ui_button_skin", 200, 150);
        host = new RecordingWindow();
    }
    void TearDown() override
    {
        CloseAndFree(host);
        delete skin;
    }
    // Loads a skin with the given BUTTONINFO lines and returns the first button, if any.
    Button* Load(const std::string& buttonLines)
    {
        host->CreateFromSkin("UiButtonHost", 0, 0, TestInstance(),
                             skin->Ini("[BUTTONINFO]\r\n" + buttonLines).c_str());
        return host->buttons.Get(0);
    }
    UiSkin* skin = nullptr;
    RecordingWindow* host = nullptr;
};

unsigned Painted(Button& button, int x, int y)
{
    Canvas canvas(button.imageWidth, button.imageHeight, 0x123456);
    button.OnPaint(canvas.Dc());
    return canvas.Pixel(x, y);
}

TEST_F(ButtonTest, EntryGivesWindowOfItsSizeAtItsPlaceWithItsPieces)
{
    Button* button = Load("1=BUTTON_PLAY,20,100,40,30,Play\r\n");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->hwnd, nullptr);
    EXPECT_EQ(GetParent(button->hwnd), host->hwnd);
    POINT origin = ChildOrigin(button->hwnd);
    EXPECT_EQ(origin.x, 20);
    EXPECT_EQ(origin.y, 100);
    SIZE size = WindowSize(button->hwnd);
    EXPECT_EQ(size.cx, 40);
    EXPECT_EQ(size.cy, 30);
    EXPECT_EQ(button->parent, host->hwnd);
    EXPECT_STREQ(button->name.Get(), "BUTTON_PLAY");
    EXPECT_EQ(GetWindowLongA(button->hwnd, GWL_STYLE) & 0xFFFF000F, 0x50000003);
    EXPECT_EQ(FindWindowExA(host->hwnd, nullptr, "BUTTON_PLAY", nullptr), button->hwnd);

    // Each piece is the same rectangle of its own picture.
    const struct {
        const SkinImage* piece;
        unsigned blue;
    } pieces[] = {{&button->image, mainBlue},
                  {&button->hoverImage, overBlue},
                  {&button->pressedImage, downBlue},
                  {&button->disabledImage, disabledBlue}};
    for (const auto& piece : pieces) {
        int width = 0, height = 0;
        piece.piece->GetSize(&width, &height);
        EXPECT_EQ(width, 40);
        EXPECT_EQ(height, 30);
        EXPECT_EQ(PixelOf(piece.piece->Handle(), 0, 0), SkinPixel(20, 100, piece.blue));
        EXPECT_EQ(PixelOf(piece.piece->Handle(), 39, 29), SkinPixel(59, 129, piece.blue));
    }
    EXPECT_EQ(PixelOf(button->mask.Handle(), 5, 5), 0u);

    // One tooltip, attached to the button, with the entry's text.
    ASSERT_EQ(host->tooltips.count, 1u);
    Tooltip* tip = host->tooltips.Get(0);
    char text[80] = {};
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = button->hwnd;
    info.uId = 0;
    info.lpszText = text;
    SendMessageA(tip->tipWindow, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, "Play");
}

TEST_F(ButtonTest, ShortEntriesAreSkippedAndLaterOnesStillRead)
{
    Load("1=BUTTON_SHORT,1,2,3\r\n2=BUTTON_NEXT,5,6,10,10,Next\r\n3=BUTTON_NOTIP,30,6,10,10\r\n");
    ASSERT_EQ(host->buttons.count, 2u);
    EXPECT_STREQ(host->buttons.Get(0)->name.Get(), "BUTTON_NEXT");
    EXPECT_STREQ(host->buttons.Get(1)->name.Get(), "BUTTON_NOTIP");
    EXPECT_EQ(host->tooltips.count, 2u);
    EXPECT_EQ(FindWindowExA(host->hwnd, nullptr, "BUTTON_SHORT", nullptr), nullptr);
}

TEST_F(ButtonTest, PressAndReleasePostDownThenUpAndClickOnce)
{
    Button* button = Load("1=BUTTON_PLAY,20,100,40,30,Play\r\n");
    ASSERT_NE(button, nullptr);
    SendMessageA(button->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(button->pressed, 1);
    EXPECT_TRUE(host->notices.empty()) << "posted, not sent";
    SendMessageA(button->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(button->pressed, 0);
    PumpMessages();

    ASSERT_EQ(host->notices.size(), 2u);
    EXPECT_EQ(host->notices[0].message, 1025u);
    EXPECT_EQ(host->notices[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(host->notices[1].message, 1027u);
    EXPECT_EQ(host->notices[1].wParam, 0u);
    for (const Notice& notice : host->notices)
        EXPECT_EQ(notice.lParam, reinterpret_cast<LPARAM>(button->name.Get()));
    ASSERT_EQ(host->clicks.size(), 1u);
    EXPECT_EQ(host->clicks[0], "BUTTON_PLAY");

    // A fast second click is a second pair, not a double click.
    SendMessageA(button->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(button->hwnd, WM_LBUTTONUP, 0, 0);
    PumpMessages();
    EXPECT_EQ(host->notices.size(), 4u);
    EXPECT_EQ(host->clicks.size(), 2u);
}

TEST_F(ButtonTest, LeavingWhilePressedClearsTheLooksAndGivesNoClick)
{
    Button* button = Load("1=BUTTON_NEXT,20,100,40,30,Next\r\n");
    ASSERT_NE(button, nullptr);
    SendMessageA(button->hwnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(button->hover, 1);
    EXPECT_EQ(button->leaveTracking, 1u);
    SendMessageA(button->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(button->hwnd, WM_MOUSEMOVE, MK_LBUTTON, 0);
    EXPECT_EQ(button->pressed, 1) << "a move with the left button alone keeps the pressed look";
    SendMessageA(button->hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(button->pressed, 0);
    EXPECT_EQ(button->hover, 0);
    EXPECT_EQ(button->leaveTracking, 0u);
    EXPECT_EQ(Painted(*button, 0, 0), SkinPixel(20, 100, mainBlue));
    PumpMessages();
    ASSERT_EQ(host->notices.size(), 1u);
    EXPECT_EQ(host->notices[0].message, 1025u);
    EXPECT_TRUE(host->clicks.empty());
}

TEST_F(ButtonTest, MovesSetHoverUnlessOnlyTheLeftButtonIsHeld)
{
    Button* button = Load("1=BUTTON_NEXT,20,100,40,30,Next\r\n");
    ASSERT_NE(button, nullptr);
    // A drag that began elsewhere shows no hover look.
    SendMessageA(button->hwnd, WM_MOUSEMOVE, MK_LBUTTON, 0);
    EXPECT_EQ(button->hover, 0);
    EXPECT_EQ(button->leaveTracking, 1u) << "every first move arms the leave notice";
    // A release without a press here still counts as a click.
    SendMessageA(button->hwnd, WM_LBUTTONUP, 0, 0);
    PumpMessages();
    EXPECT_EQ(host->clicks.size(), 1u);

    SendMessageA(button->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(button->hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 0);
    EXPECT_EQ(button->pressed, 0) << "Shift with the left button drops the pressed look";
    EXPECT_EQ(button->hover, 1);
}

TEST_F(ButtonTest, RightClicksPostTheirNoticesAndChangeNothing)
{
    Button* button = Load("1=BUTTON_PLAY,20,100,40,30,Play\r\n");
    ASSERT_NE(button, nullptr);
    SendMessageA(button->hwnd, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(button->pressed, 0);
    EXPECT_EQ(button->hover, 0);
    SendMessageA(button->hwnd, WM_RBUTTONUP, 0, 0);
    PumpMessages();
    ASSERT_EQ(host->notices.size(), 2u);
    EXPECT_EQ(host->notices[0].message, 1026u);
    EXPECT_EQ(host->notices[0].wParam, static_cast<WPARAM>(MK_RBUTTON));
    EXPECT_EQ(host->notices[1].message, 1028u);
    EXPECT_TRUE(host->clicks.empty());
    // The pumped messages may hold a deactivation: another program on the display took the front.
    SendMessageA(host->hwnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(Painted(*button, 0, 0), SkinPixel(20, 100, mainBlue));
}

TEST_F(ButtonTest, LooksFollowPressedThenHoverThenActivation)
{
    Button* button = Load("1=BUTTON_PLAY,20,100,40,30,Play\r\n");
    ASSERT_NE(button, nullptr);
    const struct {
        BYTE pressed, hover;
        DWORD active;
        unsigned blue;
    } cases[] = {
        {0, 0, 1, mainBlue}, {0, 1, 1, overBlue}, {1, 0, 1, downBlue}, {1, 1, 1, downBlue},
        {0, 0, 0, disabledBlue}, {0, 1, 0, overBlue}, {1, 0, 0, downBlue},
    };
    for (const auto& look : cases) {
        button->pressed = look.pressed;
        button->hover = look.hover;
        button->appActive = look.active;
        EXPECT_EQ(Painted(*button, 7, 9), SkinPixel(27, 109, look.blue))
            << "pressed " << int(look.pressed) << " hover " << int(look.hover) << " active "
            << look.active;
    }
}

TEST_F(ButtonTest, ActivationReachesTheButtonsThroughTheSkinWindow)
{
    Load("1=BUTTON_PLAY,20,100,40,30,Play\r\n2=BUTTON_STOP,80,100,40,30,Stop\r\n");
    ASSERT_EQ(host->buttons.count, 2u);
    Button* resting = host->buttons.Get(0);
    Button* other = host->buttons.Get(1);
    SendMessageA(resting->hwnd, WM_MOUSEMOVE, 0, 0);
    SendMessageA(host->hwnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(resting->appActive, 0u);
    EXPECT_EQ(other->appActive, 0u);
    EXPECT_EQ(Painted(*resting, 0, 0), SkinPixel(20, 100, overBlue)) << "hover stays inactive";
    EXPECT_EQ(Painted(*other, 0, 0), SkinPixel(80, 100, disabledBlue));
    SendMessageA(resting->hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Painted(*resting, 0, 0), SkinPixel(20, 100, disabledBlue));
    SendMessageA(host->hwnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(Painted(*other, 0, 0), SkinPixel(80, 100, mainBlue));
}

TEST(ButtonLeaveTracking, AFailedRequestIsReportedOnceAndNotRetried)
{
    // A button without a window: the leave request cannot be armed.
    MessageBoxRecorder boxes;
    Button button;
    button.OnMouseMove(0, 0);
    button.OnMouseMove(0, 0);
    ASSERT_EQ(MessageBoxRecorder::Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxRecorder::Boxes()[0].text, "TrackMouseEvent Failed");
    EXPECT_EQ(MessageBoxRecorder::Boxes()[0].caption, "Error");
    EXPECT_EQ(MessageBoxRecorder::Boxes()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(button.leaveTracking, 1u);
    EXPECT_EQ(button.hover, 1);
}

TEST(ButtonOwnership, PiecesAndNameAreReleasedWithTheButton)
{
    HBITMAP pieces[5];
    for (HBITMAP& piece : pieces)
        piece = MakeBitmap(4, 4, std::vector<unsigned>(16, 0x808080));
    auto* button = new Button();
    button->CreateButton("UI_OWNED", 0, 0, nullptr, TestInstance(), SkinImage(pieces[0]),
                         SkinImage(pieces[1]), SkinImage(pieces[2]), SkinImage(pieces[3]),
                         SkinImage(pieces[4]));
    for (HBITMAP piece : pieces)
        EXPECT_NE(GetObjectType(piece), 0u);
    CloseAndFree(button);
    for (HBITMAP piece : pieces)
        EXPECT_EQ(GetObjectType(piece), 0u);
}

}  // namespace
