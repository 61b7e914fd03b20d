#include <gtest/gtest.h>

#include "app/PlayerDisplay.h"
#include "tests/app/DisplayWindows.h"

namespace {

const std::vector<const char *> kAllControls = {"TEXT_TOTALTIME", "TEXT_ACTTIME", "TEXT_SONGNUM",
                                                 "TEXT_SCROLLER"};

TEST(PlayerDisplay, AttachFindsTheControlsByClassName)
{
    DisplayWindows windows({"TEXT_SCROLLER", "TEXT_SONGNUM", "OTHER", "TEXT_TOTALTIME"});
    PlayerDisplay display;
    display.Attach(windows.parent);
    EXPECT_EQ(display.totalTimeText, windows.Child("TEXT_TOTALTIME"));
    EXPECT_EQ(display.songNumberText, windows.Child("TEXT_SONGNUM"));
    EXPECT_EQ(display.scroller, windows.Child("TEXT_SCROLLER"));
    EXPECT_NE(display.scroller, nullptr);
    EXPECT_EQ(display.elapsedTimeText, nullptr) << "the skin has no TEXT_ACTTIME";
}

TEST(PlayerDisplay, TimeTexts)
{
    const struct {
        DWORD seconds;
        const char *text;
    } cases[] = {
        {0, "00:00"},       {9, "00:09"},        {59, "00:59"},       {60, "01:00"},
        {61, "01:01"},      {3599, "59:59"},     {6000, "100:00"},    {6059, "100:59"},
        {4294967295u, "71582788:15"}, // the widest text still fits
    };
    DisplayWindows windows(kAllControls);
    PlayerDisplay display;
    display.Attach(windows.parent);
    for (const auto &c : cases) {
        display.SetTotalTime(c.seconds);
        display.SetElapsedTime(c.seconds);
        EXPECT_EQ(windows.Text("TEXT_TOTALTIME"), c.text) << c.seconds;
        EXPECT_EQ(windows.Text("TEXT_ACTTIME"), c.text) << c.seconds;
    }
}

TEST(PlayerDisplay, SongNumberTexts)
{
    const struct {
        int number;
        const char *text;
    } cases[] = {{0, "00"}, {1, "01"}, {9, "09"}, {12, "12"}, {100, "100"}, {-1, "-1"}, {INT_MIN, "-2147483648"}};
    DisplayWindows windows(kAllControls);
    PlayerDisplay display;
    display.Attach(windows.parent);
    for (const auto &c : cases) {
        display.SetSongNumber(c.number);
        EXPECT_EQ(windows.Text("TEXT_SONGNUM"), c.text) << c.number;
    }
}

TEST(PlayerDisplay, ScrollerGetsTheTextAndAnEmptyOneForNull)
{
    DisplayWindows windows(kAllControls);
    PlayerDisplay display;
    display.Attach(windows.parent);
    display.SetScrollerText("Song of the night ferry");
    EXPECT_EQ(windows.Text("TEXT_SCROLLER"), "Song of the night ferry");
    display.SetScrollerText(nullptr);
    EXPECT_EQ(windows.Text("TEXT_SCROLLER"), "");
}

TEST(PlayerDisplay, ElapsedTimeRepaintsTheMainWindowAndTheField)
{
    DisplayWindows windows(kAllControls, true);
    PlayerDisplay display;
    display.Attach(windows.parent);
    HWND field = windows.Child("TEXT_ACTTIME");
    DisplayWindows::Pump();
    ValidateRect(windows.parent, nullptr);
    ValidateRect(field, nullptr);
    display.SetElapsedTime(75);
    EXPECT_TRUE(GetUpdateRect(windows.parent, nullptr, FALSE)) << "the skin under the field is repainted";
    EXPECT_TRUE(GetUpdateRect(field, nullptr, FALSE));
    EXPECT_EQ(windows.Text("TEXT_ACTTIME"), "01:15");

    // The clock ticks four times a second: the same second again repaints nothing, the next does.
    DisplayWindows::Pump();
    ValidateRect(windows.parent, nullptr);
    ValidateRect(field, nullptr);
    display.SetElapsedTime(75);
    EXPECT_FALSE(GetUpdateRect(windows.parent, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(field, nullptr, FALSE));
    display.SetElapsedTime(76);
    EXPECT_TRUE(GetUpdateRect(windows.parent, nullptr, FALSE));
    EXPECT_TRUE(GetUpdateRect(field, nullptr, FALSE));
    EXPECT_EQ(windows.Text("TEXT_ACTTIME"), "01:16");
}

TEST(PlayerDisplay, MissingControlsAreLeftAloneAndNothingIsRedrawn)
{
    DisplayWindows windows({"TEXT_TOTALTIME", "TEXT_SCROLLER"}, true);
    PlayerDisplay display;
    display.Attach(windows.parent);
    DisplayWindows::Pump();
    ValidateRect(windows.parent, nullptr);
    display.SetElapsedTime(75);
    display.SetSongNumber(3);
    EXPECT_FALSE(GetUpdateRect(windows.parent, nullptr, FALSE));
    display.SetTotalTime(75);
    display.SetScrollerText("still here");
    EXPECT_EQ(windows.Text("TEXT_TOTALTIME"), "01:15");
    EXPECT_EQ(windows.Text("TEXT_SCROLLER"), "still here");

    PlayerDisplay detached; // never attached: every setter is a no-op and must not crash
    detached.SetTotalTime(1);
    detached.SetElapsedTime(1);
    detached.SetSongNumber(1);
    detached.SetScrollerText("x");
}

} // namespace
