#include "checker/SkinCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Entry {
    std::string section;
    std::string key;
    std::string value;
};

// A sound main skin on a 200 x 160 picture.
const std::vector<Entry> mainEntries = {
    {"BUTTONINFO", "1", "BUTTON_PLAY,10,10,20,20,Play"},
    {"BUTTONINFO", "2", "BUTTON_INFO1,40,10,20,20,Info"},
    {"TEXTINFO", "1", "TEXT_SONGNUM,Tahoma,-,-,12,65280,10,40,30,14,00,Song"},
    {"TEXTINFO", "2", "TEXT_ACTTIME,Tahoma,TRUE,x,12,65280,50,40,40,14, ,Elapsed"},
    {"TEXTINFO", "3", "TEXT_TOTALTIME,Tahoma,-,-,12,65280,100,40,40,14,00:00"},
    {"HSCROLLINFO", "1", "TEXT_SCROLLER,Tahoma,TRUE,false,-13,16777215,10,60,100,16,About"},
    {"VSCROLLINFO", "1", "TEXT_V,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,Stay,CENTER,Tip"},
    {"LABELINFO", "1", "LABEL_T,Arial,TRUE,FALSE,14,16777215,8421504,10,130,120,16,Title"},
};

// Builds the facts the way the Windows side reads them: entries 1, 2, ... up to the first missing
// or empty value, and every key of each section.
SkinFacts Facts(const std::vector<Entry>& entries, SkinRole role = SkinRole::Main)
{
    SkinFacts skin;
    skin.path = "gui\\skin.ini";
    skin.role = role;
    skin.width = 200;
    skin.height = 160;
    for (const char* name : {"BUTTONINFO", "TEXTINFO", "HSCROLLINFO", "VSCROLLINFO", "LABELINFO"}) {
        SectionFacts section;
        section.name = name;
        for (const Entry& e : entries)
            if (e.section == name)
                section.keys.emplace_back(e.key, e.value);
        for (int n = 1;; ++n) {
            std::string value;
            for (const auto& key : section.keys)
                if (key.first == std::to_string(n))
                    value = key.second;
            if (value.empty())
                break;
            section.entries.push_back(value);
        }
        skin.sections.push_back(section);
    }
    return skin;
}

std::vector<Entry> With(std::vector<Entry> entries, const Entry& change)
{
    for (Entry& e : entries)
        if (e.section == change.section && e.key == change.key) {
            e.value = change.value;
            return entries;
        }
    entries.push_back(change);
    return entries;
}

TEST(CheckSkinEntries, TheSoundSkinIsCleanAndMakesEveryControl)
{
    Report report;
    const std::vector<CheckedControl> controls = CheckSkinEntries(Facts(mainEntries), report);
    EXPECT_TRUE(report.Findings().empty()) << report.Text();
    ASSERT_EQ(controls.size(), 8u);
    EXPECT_EQ(controls[2].name, "TEXT_SONGNUM");
    EXPECT_FALSE(controls[2].pictured);
    EXPECT_EQ(controls[6].section, "VSCROLLINFO");
    EXPECT_EQ(controls[6].x, 10);
    EXPECT_EQ(controls[6].y, 80);
    EXPECT_EQ(controls[6].width, 100);
    EXPECT_EQ(controls[6].height, 40);
}

struct EntryFault {
    const char* name;
    Entry change;
    std::string code;
    Severity severity;
    size_t controls;  // how many the player still creates
};

class OneEntryFault : public testing::TestWithParam<EntryFault> {};

TEST_P(OneEntryFault, IsReportedAloneAtItsKey)
{
    Report report;
    const auto controls = CheckSkinEntries(Facts(With(mainEntries, GetParam().change)), report);
    ASSERT_EQ(report.Findings().size(), 1u) << report.Text();
    const Finding& found = report.Findings()[0];
    EXPECT_EQ(found.code, GetParam().code) << report.Text();
    EXPECT_EQ(found.severity, GetParam().severity);
    EXPECT_EQ(found.key, SkinKey(GetParam().change.section, GetParam().change.key));
    EXPECT_EQ(found.file, "gui\\skin.ini");
    EXPECT_EQ(controls.size(), GetParam().controls);
}

const Severity E = Severity::Error;
const Severity W = Severity::Warning;

INSTANTIATE_TEST_SUITE_P(Faults, OneEntryFault, testing::Values(
    EntryFault{"ButtonTooShort", {"BUTTONINFO", "1", "BUTTON_PLAY,10,10,20"}, "entry-short", E, 7},
    EntryFault{"EmptyFieldShiftsTheRest", {"BUTTONINFO", "1", "BUTTON_PLAY,10,,10,20,20,Play"}, "entry-empty-field", W, 8},
    EntryFault{"ScrollerWithoutTooltip", {"HSCROLLINFO", "1", "TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,0,10,60,100,16"}, "entry-short", E, 7},
    EntryFault{"VScrollerTooShort", {"VSCROLLINFO", "1", "TEXT_V,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,stay"}, "entry-short", E, 7},
    EntryFault{"CommaInTooltip", {"BUTTONINFO", "1", "BUTTON_PLAY,10,10,20,20,Play, now"}, "entry-extra-fields", W, 8},
    EntryFault{"WordForNumber", {"BUTTONINFO", "1", "BUTTON_PLAY,ten,10,20,20,Play"}, "not-a-number", E, 8},
    EntryFault{"NumberWithUnit", {"LABELINFO", "1", "LABEL_T,Arial,TRUE,FALSE,14px,16777215,8421504,10,130,120,16,Title"}, "not-a-number", W, 8},
    EntryFault{"HexColour", {"TEXTINFO", "1", "TEXT_SONGNUM,Tahoma,-,-,12,0xFF00,10,40,30,14,00,Song"}, "not-a-number", W, 8},
    EntryFault{"ColourOutOfRange", {"HSCROLLINFO", "1", "TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,16777216,10,60,100,16,About"}, "colour-range", W, 8},
    EntryFault{"FlagWord", {"LABELINFO", "1", "LABEL_T,Arial,yes,FALSE,14,16777215,8421504,10,130,120,16,Title"}, "flag-word", W, 8},
    EntryFault{"UnknownMode", {"VSCROLLINFO", "1", "TEXT_V,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,roll,left,Tip"}, "unknown-mode", W, 8},
    EntryFault{"UnknownAlignment", {"VSCROLLINFO", "1", "TEXT_V,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,show,middle,Tip"}, "unknown-alignment", W, 8},
    EntryFault{"ZeroWidth", {"BUTTONINFO", "2", "BUTTON_INFO1,40,10,0,20,Info"}, "empty-rectangle", E, 8},
    EntryFault{"OutsideThePicture", {"BUTTONINFO", "2", "BUTTON_INFO1,400,10,20,20,Info"}, "outside-picture", E, 8},
    EntryFault{"PartlyOutside", {"LABELINFO", "1", "LABEL_T,Arial,TRUE,FALSE,14,0,0,100,150,120,16,Title"}, "outside-picture", W, 8},
    EntryFault{"TextFieldWindowOutside", {"TEXTINFO", "1", "TEXT_SONGNUM,Tahoma,-,-,12,65280,170,40,30,14,00,Song"}, "outside-picture", W, 8},
    EntryFault{"DuplicateName", {"LABELINFO", "1", "text_songnum,Arial,TRUE,FALSE,14,0,0,10,130,120,16,Title"}, "duplicate-name", W, 8},
    EntryFault{"NameWithBlank", {"BUTTONINFO", "1", "BUTTON_PLAY ,10,10,20,20,Play"}, "name-blank", W, 8},
    EntryFault{"UnknownButton", {"BUTTONINFO", "1", "BUTTON_PLAYY,10,10,20,20,Play"}, "unknown-button", W, 8},
    EntryFault{"InfoButtonInLowerCase", {"BUTTONINFO", "2", "button_info1,40,10,20,20,Info"}, "unknown-button", W, 8},
    EntryFault{"GapInSection", {"BUTTONINFO", "4", "BUTTON_STOP,70,10,20,20,Stop"}, "skin-gap", E, 8},
    EntryFault{"KeyWithLeadingZero", {"LABELINFO", "02", "LABEL_U,Arial,TRUE,FALSE,14,0,0,10,110,120,16,U"}, "skin-key-name", W, 8}));

TEST(CheckSkinEntries, ADialogKnowsOnlyItsCloseButton)
{
    const std::vector<Entry> dialog = {
        {"BUTTONINFO", "1", "BUTTON_CLOSE,10,10,20,20,Close"},
        {"BUTTONINFO", "2", "BUTTON_OK,40,10,20,20,OK"},
        {"BUTTONINFO", "3", "Button_Close,70,10,20,20,Close"},
    };
    Report report;
    CheckSkinEntries(Facts(dialog, SkinRole::Dialog), report);
    ASSERT_EQ(report.Findings().size(), 2u) << report.Text();
    EXPECT_EQ(report.Findings()[0].code, "unknown-button");
    EXPECT_EQ(report.Findings()[0].key, "[BUTTONINFO] 2");
    EXPECT_EQ(report.Findings()[1].code, "duplicate-name");
}

TEST(CheckSkinEntries, RectanglesAreNotJudgedWithoutAMainPicture)
{
    SkinFacts skin = Facts(With(mainEntries, {"BUTTONINFO", "2", "BUTTON_INFO1,400,10,20,20,Info"}));
    skin.width = 0;
    skin.height = 0;
    Report report;
    CheckSkinEntries(skin, report);
    EXPECT_TRUE(report.Findings().empty()) << report.Text();
}

// Links between the main skin and the dialogs.
struct LinkSetup {
    std::vector<Entry> main = mainEntries;
    std::vector<DiskPlan::Dialog> dialogs = {{1, "gui\\info.ini", "button_info1", nullptr, nullptr, false, false}};
    std::vector<std::vector<Entry>> dialogEntries = {{
        {"BUTTONINFO", "1", "BUTTON_CLOSE,10,10,20,20,Close"},
        {"VSCROLLINFO", "1", "TEXT_SCROLLER,Arial,FALSE,FALSE,12,0,255,10,40,100,40,2,100,1,stay,left,Tip"},
    }};
};

Report CheckLinks(const LinkSetup& setup)
{
    Report entries;
    const auto mainControls = CheckSkinEntries(Facts(setup.main), entries);
    std::vector<DialogSkin> dialogs;
    for (size_t i = 0; i < setup.dialogs.size(); ++i)
        dialogs.push_back({&setup.dialogs[i], true,
                           CheckSkinEntries(Facts(setup.dialogEntries[i], SkinRole::Dialog), entries)});
    Report report;
    CheckSkinLinks("gui\\skin.ini", true, mainControls, dialogs, report);
    return report;
}

TEST(CheckSkinLinks, TheSoundDiskIsClean)
{
    const Report report = CheckLinks(LinkSetup());
    EXPECT_TRUE(report.Findings().empty()) << report.Text();
}

TEST(CheckSkinLinks, EachBrokenLinkIsOneFinding)
{
    const struct {
        const char* name;
        void (*change)(LinkSetup&);
        std::string code;
        std::string key;
    } cases[] = {
        {"NoElapsedTime", [](LinkSetup& s) { s.main = With(s.main, {"TEXTINFO", "2", "TEXT_OTHER,Tahoma,-,-,12,0,50,40,40,14,0,x"}); },
         "missing-control", "TEXT_ACTTIME"},
        {"NoMainScroller", [](LinkSetup& s) { s.main = With(s.main, {"HSCROLLINFO", "1", "TICKER,Tahoma,TRUE,FALSE,-13,0,10,60,100,16,About"}); },
         "missing-control", "TEXT_SCROLLER"},
        {"InfoButtonWithoutDialog", [](LinkSetup& s) { s.main.push_back({"BUTTONINFO", "3", "BUTTON_INFO2,70,10,20,20,More"}); },
         "info-button-no-dialog", "[BUTTONINFO] 3"},
        {"DialogNoButtonOpens", [](LinkSetup& s) {
             s.dialogs.push_back({2, "gui\\two.ini", "BUTTON_INFO2", nullptr, nullptr, false, false});
             s.dialogEntries.push_back(s.dialogEntries[0]);
         }, "dialog-never-opens", "dialog.name.02"},
        {"DialogWithoutScroller", [](LinkSetup& s) { s.dialogEntries[0].pop_back(); }, "missing-control", "TEXT_SCROLLER"},
        {"DialogWithoutClose", [](LinkSetup& s) { s.dialogEntries[0].erase(s.dialogEntries[0].begin()); },
         "missing-control", "BUTTON_CLOSE"},
        {"CloseInWrongCase", [](LinkSetup& s) { s.dialogEntries[0][0].value = "Button_Close,10,10,20,20,Close"; },
         "missing-control", "BUTTON_CLOSE"},
    };
    for (const auto& c : cases) {
        LinkSetup setup;
        c.change(setup);
        const Report report = CheckLinks(setup);
        ASSERT_EQ(report.Findings().size(), 1u) << c.name << "\n" << report.Text();
        EXPECT_EQ(report.Findings()[0].code, c.code) << c.name;
        EXPECT_EQ(report.Findings()[0].key, c.key) << c.name;
    }
}

TEST(CheckSkinLinks, ADialogOfARepeatedNameIsNotReportedAsNeverOpened)
{
    LinkSetup setup;
    setup.dialogs.push_back({2, "gui\\two.ini", "BUTTON_INFO1", nullptr, nullptr, true, false});
    setup.dialogEntries.push_back(setup.dialogEntries[0]);
    const Report report = CheckLinks(setup);
    EXPECT_TRUE(report.Findings().empty()) << report.Text();
}

}  // namespace
