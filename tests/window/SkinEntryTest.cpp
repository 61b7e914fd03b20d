// The skin-entry reader and the places it gives, as the section loaders and the disk checker use
// them. Window-free: runs natively and under Wine.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "controls/SkinEntry.h"

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
        {",,a, b ,,", V{"a", " b "}},
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
    SkinEntry entry(" 20,0x10,-5,+7,12abc,abc,99999999999,255,16711680,-99999999999,-1");
    EXPECT_EQ(entry.Int(0), 20);
    EXPECT_EQ(entry.Int(1), 0);
    EXPECT_EQ(entry.Int(2), -5);
    EXPECT_EQ(entry.Int(3), 7);
    EXPECT_EQ(entry.Int(4), 12);
    EXPECT_EQ(entry.Int(5), 0);
    EXPECT_EQ(entry.Int(6), 2147483647);  // clamped, not undefined
    EXPECT_EQ(entry.Colour(7), 0x0000FFu);  // red
    EXPECT_EQ(entry.Colour(8), 0xFF0000u);  // blue
    EXPECT_EQ(entry.Int(9), INT_MIN);
    EXPECT_EQ(entry.Colour(10), 0xFFFFFFFFu);  // as atol's -1 becomes a COLORREF
    EXPECT_EQ(entry.Int(40), 0);  // past the end
    EXPECT_EQ(entry.Text(40), nullptr);
    EXPECT_FALSE(entry.Has(12));
    EXPECT_TRUE(entry.Has(11));
}

TEST(SkinEntry, FlagsAreTrueOnlyForTrueInAnyCase)
{
    SkinEntry entry("TRUE,true,True,TRUE , TRUE,FALSE,1,yes,TRU");
    std::vector<bool> expected = {true, true, true, false, false, false, false, false, false};
    for (int i = 0; i < entry.Count(); ++i)
        EXPECT_EQ(entry.Flag(i), expected[i]) << entry.Text(i);
    EXPECT_FALSE(entry.Flag(20));
}

TEST(SkinEntry, PlacesComeFromEachSectionsGeometryFields)
{
    struct Case {
        const char* section;
        const char* value;
        ControlPlace place;
    } cases[] = {
        {"BUTTONINFO", "BUTTON_PLAY,20,100,40,30,Play", {20, 100, 40, 30}},
        {"TEXTINFO", "TEXT_SONGNUM,Tahoma,FALSE,FALSE,-22,6341887,20,62,56,26,00,Song", {20, 62, 56, 26}},
        {"HSCROLLINFO", "TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,14084246,22,93,368,17,About", {22, 93, 368, 17}},
        {"VSCROLLINFO", "TEXT_SCROLLER,Tahoma,FALSE,FALSE,-13,1,2,18,40,222,194,1,40,1,scroll,center,Tip",
         {18, 40, 222, 194}},
        {"LABELINFO", "LABEL_TITLE,Tahoma,TRUE,FALSE,-12,9887482,9868950,36,6,164,22,Title", {36, 6, 164, 22}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        const ControlLayout* layout = FindControlLayout(c.section);
        ASSERT_NE(layout, nullptr);
        const SkinEntry entry(c.value);
        EXPECT_TRUE(entry.Has(layout->required));
        const ControlPlace place = entry.Place(*layout);
        EXPECT_EQ(place.x, c.place.x);
        EXPECT_EQ(place.y, c.place.y);
        EXPECT_EQ(place.width, c.place.width);
        EXPECT_EQ(place.height, c.place.height);
    }
    EXPECT_EQ(FindControlLayout("SCREEN"), nullptr);
}

TEST(ControlPlace, ShiftsSixPixelsRightWithoutOverflowing)
{
    const struct {
        int x;
        int shifted;
    } cases[] = {{100, 106}, {-6, 0}, {INT_MIN, INT_MIN + 6}, {INT_MAX - 7, INT_MAX - 1},
                 {INT_MAX - 6, INT_MAX}, {INT_MAX - 1, INT_MAX}, {INT_MAX, INT_MAX}};
    for (const auto& c : cases)
        EXPECT_EQ((ControlPlace{c.x, 0, 1, 1}.ShiftedX()), c.shifted) << c.x;
}

}  // namespace
