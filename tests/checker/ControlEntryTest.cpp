#include "controls/ControlEntry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "checker/Report.h"

namespace {

using Fields = std::vector<std::string>;

TEST(SplitEntryFields, FollowsTheStrtokRule)
{
    const struct {
        const char* value;
        Fields expected;
    } cases[] = {
        {"BUTTON_PLAY,10,,20,30,40,Play", {"BUTTON_PLAY", "10", "20", "30", "40", "Play"}},
        {",,a,b,,", {"a", "b"}},
        {" a , b ", {" a ", " b "}},
        {"", {}},
        {",,,", {}},
        {"one", {"one"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitEntryFields(c.value), c.expected) << c.value;
    EXPECT_TRUE(SplitEntryFields(nullptr).empty());
}

TEST(ReadEntryNumber, ReadsLikeAtoiAndTellsWhatWasIgnored)
{
    const struct {
        const char* text;
        int value;
        bool digits;
        bool rest;
    } cases[] = {
        {"20", 20, true, false},    {" 20", 20, true, false},  {"-5", -5, true, false},
        {"+7", 7, true, false},     {"0x10", 0, true, true},   {"12px", 12, true, true},
        {"12 ", 12, true, false},   {"abc", 0, false, false},  {"-", 0, false, false},
        {"", 0, false, false},      {"99999999999", INT_MAX, true, false},
        {"-99999999999", INT_MIN, true, false},
    };
    for (const auto& c : cases) {
        const EntryNumber n = ReadEntryNumber(c.text);
        EXPECT_EQ(n.value, c.value) << c.text;
        EXPECT_EQ(n.digits, c.digits) << c.text;
        EXPECT_EQ(n.rest, c.rest) << c.text;
    }
}

TEST(EntryFlag, IsTrueOnlyForTrueInAnyCase)
{
    EXPECT_TRUE(EntryFlag("TRUE"));
    EXPECT_TRUE(EntryFlag("True"));
    EXPECT_TRUE(EntryFlag("true"));
    EXPECT_FALSE(EntryFlag("TRUE "));
    EXPECT_FALSE(EntryFlag("yes"));
    EXPECT_FALSE(EntryFlag("1"));
    EXPECT_FALSE(EntryFlag(nullptr));
}

TEST(ControlLayouts, CoverTheFiveSectionsInLoadingOrder)
{
    const auto& layouts = ControlLayouts();
    ASSERT_EQ(layouts.size(), 5u);
    const char* order[] = {"BUTTONINFO", "TEXTINFO", "HSCROLLINFO", "VSCROLLINFO", "LABELINFO"};
    const int fields[] = {6, 12, 11, 17, 12};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(layouts[i].section, order[i]);
        EXPECT_EQ(layouts[i].fields, fields[i]);
        EXPECT_LE(layouts[i].required, layouts[i].fields);
        // The geometry fields are integers of the layout.
        for (int index : {layouts[i].x, layouts[i].y, layouts[i].width, layouts[i].height})
            EXPECT_EQ(layouts[i].layout[index], FieldKind::Integer) << order[i] << " " << index;
        EXPECT_EQ(layouts[i].layout[0], FieldKind::Name);
    }
}

TEST(Report, ExitCodeFollowsTheWorstFinding)
{
    Report report;
    EXPECT_EQ(report.ExitCode(), 0);
    report.Add(Severity::Warning, "w", "f", 1, "k", "p", "x");
    EXPECT_EQ(report.ExitCode(), 1);
    report.Add(Severity::Error, "e", "f", 2, "k", "p", "x");
    EXPECT_EQ(report.ExitCode(), 2);
    EXPECT_EQ(report.Errors(), 1);
    EXPECT_EQ(report.Warnings(), 1);
}

TEST(Report, TextNamesThePlaceAndTheFix)
{
    Report report;
    EXPECT_EQ(report.Text(), "The disk is clean: no problems found.\n");
    report.Add(Severity::Error, "list-gap", "music\\config.dat", 12, "music.file.04", "Gap.", "Renumber.");
    report.Add(Severity::Warning, "x", "gui\\skin.ini", 0, "[BUTTONINFO] 3", "Bad\tname.", "Fix.");
    EXPECT_EQ(report.Text(),
              "music\\config.dat:12 [music.file.04]: error: Gap.\n"
              "    fix: Renumber.\n"
              "gui\\skin.ini [[BUTTONINFO] 3]: warning: Bad\\x09name.\n"
              "    fix: Fix.\n"
              "1 error, 1 warning.\n");
}

TEST(Report, JsonEscapesEverythingThatWouldBreakIt)
{
    Report report;
    report.Add(Severity::Error, "c", "a\\b", 3, "k\"q", std::string("x\n\x01\xe9", 4), "f");
    EXPECT_EQ(report.Json(),
              "{\"errors\":1,\"warnings\":0,\"findings\":[{\"severity\":\"error\",\"code\":\"c\","
              "\"file\":\"a\\\\b\",\"line\":3,\"key\":\"k\\\"q\",\"problem\":\"x\\n\\u0001\\u00e9\","
              "\"fix\":\"f\"}]}\n");
}

}  // namespace
