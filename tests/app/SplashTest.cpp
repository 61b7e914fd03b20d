#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SplashWindow.h"
#include "tests/support/UiSupport.h"

namespace {

// Runs the tests inside a folder holding gui\splash.ini and its picture, as a musicdisk would.
class SplashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, previous);
        CreateDirectoryA("ui_splash_disk", nullptr);
        SetCurrentDirectoryA("ui_splash_disk");
        gui = new ScratchFolder("gui");
        WriteBmp(gui->File("splash.bmp"), 120, 60, std::vector<unsigned>(120 * 60, 0x336699));
        WriteText(gui->File("splash.ini"), "[SCREEN]\r\nMain=splash.bmp\r\n");
        script.clear();
        ticks = 0;
    }
    void TearDown() override
    {
        DestroySplash();
        delete gui;
        SetCurrentDirectoryA(previous);
        RemoveDirectoryA("ui_splash_disk");
        TakeQuit();
    }
    char previous[MAX_PATH] = {};
    ScratchFolder* gui = nullptr;

public:
    // What the thread timer does at each of its ticks while the splash loop runs.
    static std::vector<UINT> script;
    static int ticks;
};
std::vector<UINT> SplashTest::script;
int SplashTest::ticks = 0;

// Posts the next scripted input to the splash window: a key down (translated like typing),
// or a mouse click for 0.
void CALLBACK Typist(HWND, UINT, UINT_PTR, DWORD)
{
    SplashWindow* splash = CurrentSplash();
    if (!splash || SplashTest::ticks >= static_cast<int>(SplashTest::script.size()))
        return;
    const UINT key = SplashTest::script[SplashTest::ticks++];
    if (key == 0) {
        PostMessageA(splash->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(splash->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    } else {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, 0)) << 16 | 1;
        PostMessageA(splash->hwnd, WM_KEYDOWN, key, scan);
    }
}

TEST_F(SplashTest, EndsAtTheFirstTimerTickAndStaysHidden)
{
    const DWORD start = GetTickCount();
    ShowSplash(TestInstance(), 300);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 250u);
    EXPECT_LT(elapsed, 3000u);

    SplashWindow* splash = CurrentSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->done);
    EXPECT_TRUE(IsWindow(splash->hwnd)) << "hidden, not destroyed";
    EXPECT_FALSE(IsWindowVisible(splash->hwnd));
    EXPECT_TRUE(splash->draggable);
    EXPECT_EQ(FindWindowA("Welcome to Quillmere", "Welcome to Quillmere"), splash->hwnd);
    RECT rect = {};
    GetWindowRect(splash->hwnd, &rect);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 120) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 60) / 2);
    EXPECT_EQ(rect.right - rect.left, 120);
}

TEST_F(SplashTest, ShiftAndClicksDoNotEndItButATypedCharacterDoes)
{
    script = {VK_SHIFT, 0, VK_LEFT, 'A', VK_SHIFT};
    UINT_PTR timer = SetTimer(nullptr, 0, 120, Typist);
    ShowSplash(TestInstance(), 60000);
    KillTimer(nullptr, timer);
    EXPECT_EQ(ticks, 4) << "ended by the character typed at the fourth tick";
    ASSERT_NE(CurrentSplash(), nullptr);
    EXPECT_FALSE(IsWindowVisible(CurrentSplash()->hwnd));
}

TEST_F(SplashTest, NegativeTimeEndsAtTheFirstTick)
{
    const DWORD start = GetTickCount();
    ShowSplash(TestInstance(), -5);
    EXPECT_LT(GetTickCount() - start, 3000u);
    ASSERT_NE(CurrentSplash(), nullptr);
    EXPECT_TRUE(CurrentSplash()->done);
}

TEST_F(SplashTest, DestroyingTheSplashDoesNotQuitTheApplication)
{
    ShowSplash(TestInstance(), 10);
    ASSERT_NE(CurrentSplash(), nullptr);
    HWND window = CurrentSplash()->hwnd;
    DestroySplash();
    EXPECT_EQ(CurrentSplash(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    PumpMessages();
    EXPECT_FALSE(TakeQuit());
    DestroySplash();  // a second call finds nothing to do
    EXPECT_EQ(CurrentSplash(), nullptr);
}

TEST_F(SplashTest, AQuitMessageEndsTheSplashLoop)
{
    PostQuitMessage(3);
    ShowSplash(TestInstance(), 60000);
    ASSERT_NE(CurrentSplash(), nullptr);
    EXPECT_FALSE(CurrentSplash()->done);
    EXPECT_FALSE(IsWindowVisible(CurrentSplash()->hwnd));
}

TEST_F(SplashTest, MissingSkinStillEndsOnTime)
{
    DeleteFileA(gui->File("splash.ini").c_str());
    MessageBoxRecorder boxes;
    ShowSplash(TestInstance(), 50);
    ASSERT_NE(CurrentSplash(), nullptr);
    EXPECT_TRUE(CurrentSplash()->done);
    EXPECT_EQ(MessageBoxRecorder::Boxes().size(), 5u) << "one box per missing picture";
}

}  // namespace
