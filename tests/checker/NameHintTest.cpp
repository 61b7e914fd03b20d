#include "checker/NameHint.h"

#include <gtest/gtest.h>

namespace {

TEST(NearestName, FindsTheMisspeltNameOrNone)
{
    const std::vector<std::string> buttons = {"BUTTON_PLAY", "BUTTON_PAUSE", "BUTTON_NEXT", "BUTTON_PREV"};
    const struct {
        const char* word;
        const char* expected;
    } cases[] = {
        {"BUTTON_NXET", "BUTTON_NEXT"},   // two letters swapped
        {"BUTTON_NEX", "BUTTON_NEXT"},    // one left out
        {"BUTTON_PLAYY", "BUTTON_PLAY"},  // one added
        {"Button_Pause", "BUTTON_PAUSE"}, // the wrong case only
        {"BUTTON_XYZ", ""},               // three edits or more: too far
        {"BUTTON_INFO1", ""},
        {"NXT", ""},                      // one edit is too many for three letters
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NearestName(c.word, buttons), c.expected) << c.word;
}

TEST(NearestName, TiesGoToTheEarlierName)
{
    EXPECT_EQ(NearestName("Mxin", {"Main", "Mask"}), "Main");
    EXPECT_EQ(NearestName("Mas", {"Mask", "Main"}), "Mask");
}

}  // namespace
