#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/MainWindow.h"
#include "controls/Button.h"
#include "tests/support/UiSupport.h"

namespace {

TEST(ButtonTable, NamesMatchExactlyAndInCase)
{
    const struct {
        const char* name;
        ButtonAction action;
    } cases[] = {
        {"BUTTON_EXIT", ButtonAction::Exit},     {"BUTTON_MINIMIZE", ButtonAction::Minimize},
        {"BUTTON_PAUSE", ButtonAction::Pause},   {"BUTTON_PLAY", ButtonAction::Play},
        {"BUTTON_STOP", ButtonAction::Stop},     {"BUTTON_FF", ButtonAction::Forward},
        {"BUTTON_RW", ButtonAction::Rewind},     {"BUTTON_PREV", ButtonAction::Previous},
        {"BUTTON_NEXT", ButtonAction::Next},     {"button_play", ButtonAction::None},
        {"BUTTON_PLAY ", ButtonAction::None},    {" BUTTON_PLAY", ButtonAction::None},
        {"BUTTON_PLAYER", ButtonAction::None},   {"BUTTON_CLOSE", ButtonAction::None},
        {"BUTTON_INFO", ButtonAction::None},     {"", ButtonAction::None},
        {nullptr, ButtonAction::None},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(ButtonActionFor(entry.name), entry.action)
            << (entry.name ? entry.name : "(null)");
}

TEST(ButtonTable, InfoPrefixIsTheFirstElevenCharactersExactly)
{
    const struct {
        const char* name;
        bool info;
    } cases[] = {
        {"BUTTON_INFO", true},       {"BUTTON_INFO1", true}, {"BUTTON_INFO_CREDITS", true},
        {"XBUTTON_INFO", false},     {"BUTTON_INF", false},  {"button_info1", false},
        {" BUTTON_INFO", false},     {"", false},            {nullptr, false},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(IsInfoButtonName(entry.name), entry.info)
            << (entry.name ? entry.name : "(null)");
}

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CloseAndFree(window);
        TakeQuit();
        delete skin;
    }
    HWND Create(int width, int height, const std::string& extra = "")
    {
        skin = new UiSkin("ui_main_skin", width, height);
        window = new MainWindow();
        return window->CreateFromSkin("UiMusicdisk", CW_USEDEFAULT, CW_USEDEFAULT,
                                      TestInstance(), skin->Ini(extra).c_str());
    }
    UiSkin* skin = nullptr;
    MainWindow* window = nullptr;
};

TEST_F(MainWindowTest, IsCentredHiddenAndSizedFromItsSkin)
{
    HWND created = Create(200, 100);
    ASSERT_NE(created, nullptr);
    EXPECT_FALSE(IsWindowVisible(created));
    RECT rect = {};
    GetWindowRect(created, &rect);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 100) / 2);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 100);
    EXPECT_EQ(window->controller, nullptr);
}

TEST_F(MainWindowTest, SkinLargerThanTheScreenGivesANegativePosition)
{
    const int width = GetSystemMetrics(SM_CXSCREEN) + 77;
    const int height = GetSystemMetrics(SM_CYSCREEN) + 51;
    HWND created = Create(width, height);
    ASSERT_NE(created, nullptr);
    RECT rect = {};
    GetWindowRect(created, &rect);
    EXPECT_EQ(rect.left, -77 / 2);
    EXPECT_EQ(rect.top, -51 / 2);
    EXPECT_LT(rect.left, 0);
}

TEST_F(MainWindowTest, CentringTruncatesTowardZero)
{
    HWND created = Create(201, 101);
    ASSERT_NE(created, nullptr);
    RECT rect = {};
    GetWindowRect(created, &rect);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 201) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 101) / 2);
}

TEST_F(MainWindowTest, DisplayTimerTicksReachTheWindowAndAreNotPassedOn)
{
    HWND created = Create(60, 40);
    ASSERT_NE(created, nullptr);
    // The 250 ms display timer is running: a WM_TIMER for id 2026 arrives within a second.
    bool ticked = false;
    const DWORD start = GetTickCount();
    while (!ticked && GetTickCount() - start < 1500) {
        MSG message;
        if (PeekMessageA(&message, created, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            ticked = message.wParam == MainWindow::displayTimerId;
            DispatchMessageA(&message);
        } else {
            Sleep(10);
        }
    }
    EXPECT_TRUE(ticked);
    // Without a controller a tick of any id is still taken (result 1).
    EXPECT_EQ(SendMessageA(created, WM_TIMER, 99, 0), 1);
}

TEST_F(MainWindowTest, EscapeClosesAndOtherKeysDoNot)
{
    HWND created = Create(60, 40);
    ASSERT_NE(created, nullptr);
    SendMessageA(created, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(created, WM_KEYDOWN, 'Q', 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(created));
    SendMessageA(created, WM_KEYDOWN, VK_ESCAPE, 0);
    MSG message;
    while (PeekMessageA(&message, created, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_FALSE(IsWindow(created));
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(&exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(MainWindowTest, ExitAndMinimizeButtonsActWithoutAController)
{
    HWND created = Create(120, 40,
                          "[BUTTONINFO]\r\n1=BUTTON_MINIMIZE,0,0,40,40,Min\r\n"
                          "2=BUTTON_EXIT,40,0,40,40,Exit\r\n3=button_exit,80,0,40,40,no\r\n");
    ASSERT_NE(created, nullptr);
    ShowWindow(created, SW_SHOWNORMAL);
    // Class names ignore case, so the lower-case button is found through the list.
    ASSERT_EQ(window->buttons.count, 3u);
    HWND lower = window->buttons.Get(2)->hwnd;
    ASSERT_NE(lower, nullptr);
    SendMessageA(lower, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(lower, WM_LBUTTONUP, 0, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(created)) << "button_exit is not BUTTON_EXIT";

    HWND minimize = window->buttons.Get(0)->hwnd;
    ASSERT_NE(minimize, nullptr);
    SendMessageA(minimize, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(minimize, WM_LBUTTONUP, 0, 0);
    PumpMessages();
    EXPECT_TRUE(IsIconic(created));

    EXPECT_EQ(window->OnButtonClick("BUTTON_PLAY"), 0) << "no controller: nothing happens";
    EXPECT_EQ(window->OnButtonClick("BUTTON_INFO1"), 0);
    HWND exitButton = window->buttons.Get(1)->hwnd;
    ASSERT_NE(exitButton, nullptr);
    SendMessageA(exitButton, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(exitButton, WM_LBUTTONUP, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(created));
}

TEST_F(MainWindowTest, OwnedPopupsHideAndShowWithTheWindow)
{
    HWND created = Create(60, 40);
    ASSERT_NE(created, nullptr);
    ShowWindow(created, SW_SHOWNORMAL);
    HWND popup = CreateWindowExA(0, "STATIC", "owned", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20,
                                 created, nullptr, TestInstance(), nullptr);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(IsWindowVisible(popup));
    SendMessageA(created, WM_SHOWWINDOW, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(popup));
    SendMessageA(created, WM_SHOWWINDOW, TRUE, 0);
    EXPECT_TRUE(IsWindowVisible(popup));
    DestroyWindow(popup);
}

}  // namespace
