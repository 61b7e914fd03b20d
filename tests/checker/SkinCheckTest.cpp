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

// A sound main skin on a 200 x 160 picture, and a sound dialog skin.
const std::vector<Entry> mainEntries = {
    {"BUTTONINFO", "1", "BUTTON_PLAY,10,10,20,20,Play"},
    {"BUTTONINFO", "2", "BUTTON_INFO1,40,10,20,20,Info"},
    {"TEXTINFO", "1", "TEXT_SONGNUM,Tahoma,-,-,12,65280,10,40,30,14,00,Song"},
    {"TEXTINFO", "2", "TEXT_ACTTIME,Tahoma,TRUE,x,12,65280,50,40,40,14, ,Elapsed"},
    {"TEXTINFO", "3", "TEXT_TOTALTIME,Tahoma,-,-,12,65280,100,40,40,14,00:00"},
    {"HSCROLLINFO", "1", "TEXT_SCROLLER,Tahoma,TRUE,false,-13,16777215,10,60,100,16,About"},
    {"LABELINFO", "1", "LABEL_T,Arial,TRUE,FALSE,14,16777215,8421504,10,130,120,16,Title"},
};
const std::vector<Entry> dialogEntries = {
    {"BUTTONINFO", "1", "BUTTON_CLOSE,10,10,20,20,Close"},
    {"VSCROLLINFO", "1", "TEXT_SCROLLER,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,Stay,CENTER,Tip"},
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
    ASSERT_EQ(controls.size(), 7u);
    EXPECT_EQ(controls[2].name, "TEXT_SONGNUM");
    EXPECT_FALSE(controls[2].pictured);
    EXPECT_EQ(controls[5].section, "HSCROLLINFO");
    EXPECT_EQ(controls[5].x, 10);
    EXPECT_EQ(controls[5].y, 60);
    EXPECT_EQ(controls[5].width, 100);
    EXPECT_EQ(controls[5].height, 16);

    Report dialogReport;
    const auto dialogControls = CheckSkinEntries(Facts(dialogEntries, SkinRole::Dialog), dialogReport);
    EXPECT_TRUE(dialogReport.Findings().empty()) << dialogReport.Text();
    ASSERT_EQ(dialogControls.size(), 2u);
    EXPECT_EQ(dialogControls[1].section, "VSCROLLINFO");
    EXPECT_EQ(dialogControls[1].y, 80);
    EXPECT_EQ(dialogControls[1].height, 40);
}

struct EntryFault {
    const char* name;
    Entry change;
    std::string code;
    Severity severity;
    size_t controls;  // how many the player still creates
    SkinRole role = SkinRole::Main;  // the main skin's entries, or the dialog's
    const char* says = "";           // part of the problem's text
};

class OneEntryFault : public testing::TestWithParam<EntryFault> {};

TEST_P(OneEntryFault, IsReportedAloneAtItsKey)
{
    Report report;
    const bool dialog = GetParam().role == SkinRole::Dialog;
    const auto controls = CheckSkinEntries(
        Facts(With(dialog ? dialogEntries : mainEntries, GetParam().change), GetParam().role), report);
    ASSERT_EQ(report.Findings().size(), 1u) << report.Text();
    const Finding& found = report.Findings()[0];
    EXPECT_EQ(found.code, GetParam().code) << report.Text();
    EXPECT_EQ(found.severity, GetParam().severity);
    EXPECT_EQ(found.key, SkinKey(GetParam().change.section, GetParam().change.key));
    EXPECT_EQ(found.file, "gui\\skin.ini");
    EXPECT_EQ(controls.size(), GetParam().controls);
    EXPECT_NE(found.problem.find(GetParam().says), std::string::npos) << found.problem;
}

const Severity E = Severity::Error;
const Severity W = Severity::Warning;

INSTANTIATE_TEST_SUITE_P(Faults, OneEntryFault, testing::Values(
    EntryFault{"ButtonTooShort", {"BUTTONINFO", "1", "BUTTON_PLAY,10,10,20"}, "entry-short", E, 6},
    EntryFault{"EmptyFieldShiftsTheRest", {"BUTTONINFO", "1", "BUTTON_PLAY,10,,10,20,20,Play"}, "entry-empty-field", W, 7},
    EntryFault{"ScrollerWithoutTooltip", {"HSCROLLINFO", "1", "TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,0,10,60,100,16"}, "entry-short", E, 6},
    EntryFault{"VScrollerTooShort", {"VSCROLLINFO", "1", "TEXT_SCROLLER,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,stay"}, "entry-short", E, 1, SkinRole::Dialog},
    EntryFault{"CommaInTooltip", {"BUTTONINFO", "1", "BUTTON_PLAY,10,10,20,20,Play, now"}, "entry-extra-fields", W, 7},
    EntryFault{"WordForNumber", {"BUTTONINFO", "1", "BUTTON_PLAY,ten,10,20,20,Play"}, "not-a-number", E, 7},
    EntryFault{"NumberWithUnit", {"LABELINFO", "1", "LABEL_T,Arial,TRUE,FALSE,14px,16777215,8421504,10,130,120,16,Title"}, "not-a-number", W, 7},
    EntryFault{"HexColour", {"TEXTINFO", "1", "TEXT_SONGNUM,Tahoma,-,-,12,0xFF00,10,40,30,14,00,Song"}, "not-a-number", W, 7},
    EntryFault{"ColourOutOfRange", {"HSCROLLINFO", "1", "TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,16777216,10,60,100,16,About"}, "colour-range", W, 7},
    EntryFault{"FlagWord", {"LABELINFO", "1", "LABEL_T,Arial,yes,FALSE,14,16777215,8421504,10,130,120,16,Title"}, "flag-word", W, 7},
    EntryFault{"UnknownMode", {"VSCROLLINFO", "1", "TEXT_SCROLLER,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,roll,left,Tip"}, "unknown-mode", W, 2, SkinRole::Dialog},
    EntryFault{"UnknownAlignment", {"VSCROLLINFO", "1", "TEXT_SCROLLER,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,show,middle,Tip"}, "unknown-alignment", W, 2, SkinRole::Dialog},
    EntryFault{"ZeroWidth", {"BUTTONINFO", "2", "BUTTON_INFO1,40,10,0,20,Info"}, "empty-rectangle", E, 7},
    EntryFault{"OutsideThePicture", {"BUTTONINFO", "2", "BUTTON_INFO1,400,10,20,20,Info"}, "outside-picture", E, 7},
    EntryFault{"PartlyOutside", {"LABELINFO", "1", "LABEL_T,Arial,TRUE,FALSE,14,0,0,100,150,120,16,Title"}, "outside-picture", W, 7},
    EntryFault{"TextFieldWindowOutside", {"TEXTINFO", "1", "TEXT_SONGNUM,Tahoma,-,-,12,65280,170,40,30,14,00,Song"}, "outside-picture", W, 7},
    EntryFault{"DuplicateName", {"LABELINFO", "1", "text_songnum,Arial,TRUE,FALSE,14,0,0,10,130,120,16,Title"}, "duplicate-name", W, 7},
    EntryFault{"NameWithBlank", {"BUTTONINFO", "1", "BUTTON_PLAY ,10,10,20,20,Play"}, "name-blank", W, 7},
    EntryFault{"UnknownButton", {"BUTTONINFO", "1", "BUTTON_PLAYY,10,10,20,20,Play"}, "unknown-button", E, 7},
    EntryFault{"InfoButtonInLowerCase", {"BUTTONINFO", "2", "button_info1,40,10,20,20,Info"}, "unknown-button", E, 7,
               SkinRole::Main, "Did you mean BUTTON_INFO1?"},
    EntryFault{"ButtonMisspelt", {"BUTTONINFO", "1", "BUTTON_NXET,10,10,20,20,Next"}, "unknown-button", E, 7,
               SkinRole::Main, "Did you mean BUTTON_NEXT?"},
    EntryFault{"ScrollerNoTextReaches", {"VSCROLLINFO", "1", "TEXT_NOTES,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,stay,left,Tip"},
               "control-does-nothing", E, 8},
    EntryFault{"DialogButtonDoesNothing", {"BUTTONINFO", "2", "BUTTON_OK,40,10,20,20,OK"}, "unknown-button", E, 3,
               SkinRole::Dialog},
    EntryFault{"ModeMisspelt", {"VSCROLLINFO", "1", "TEXT_SCROLLER,Arial,FALSE,FALSE,12,0,255,10,80,100,40,2,100,1,sroll,left,Tip"},
               "unknown-mode", W, 2, SkinRole::Dialog, "Did you mean scroll?"},
    EntryFault{"GapInSection", {"BUTTONINFO", "4", "BUTTON_STOP,70,10,20,20,Stop"}, "skin-gap", E, 7},
    EntryFault{"KeyWithLeadingZero", {"LABELINFO", "02", "LABEL_U,Arial,TRUE,FALSE,14,0,0,10,110,120,16,U"}, "skin-key-name", W, 7}));

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
    EXPECT_EQ(report.Findings()[0].code, "duplicate-name");
    EXPECT_EQ(report.Findings()[0].key, "[BUTTONINFO] 3");
    EXPECT_EQ(report.Findings()[1].code, "unknown-button");
    EXPECT_EQ(report.Findings()[1].key, "[BUTTONINFO] 2");
}

TEST(CheckSkinEntries, ButtonsAndScrollersOnTheSplashDoNothing)
{
    const std::vector<Entry> splash = {
        {"LABELINFO", "1", "LABEL_T,Arial,TRUE,FALSE,14,0,0,10,130,120,16,Title"},
        {"BUTTONINFO", "1", "BUTTON_PLAY,10,10,20,20,Play"},
        {"HSCROLLINFO", "1", "TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,0,10,60,100,16,About"},
    };
    Report report;
    CheckSkinEntries(Facts(splash, SkinRole::Splash), report);
    ASSERT_EQ(report.Findings().size(), 2u) << report.Text();
    for (const Finding& found : report.Findings()) {
        EXPECT_EQ(found.code, "control-does-nothing");
        EXPECT_EQ(found.severity, Severity::Error);
    }
    EXPECT_EQ(report.Findings()[0].key, "[BUTTONINFO] 1");
    EXPECT_EQ(report.Findings()[1].key, "[HSCROLLINFO] 1");
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
         "missing-control", "[HSCROLLINFO] 1"},
        {"InfoButtonWithoutDialog", [](LinkSetup& s) { s.main.push_back({"BUTTONINFO", "3", "BUTTON_INFO2,70,10,20,20,More"}); },
         "info-button-no-dialog", "[BUTTONINFO] 3"},
        {"InfoButtonMisspelt", [](LinkSetup& s) { s.main = With(s.main, {"BUTTONINFO", "2", "BUTTON_INFOI,40,10,20,20,Info"}); },
         "info-button-no-dialog", "[BUTTONINFO] 2"},
        {"DialogNoButtonOpens", [](LinkSetup& s) {
             s.dialogs.push_back({2, "gui\\two.ini", "BUTTON_INFO2", nullptr, nullptr, false, false});
             s.dialogEntries.push_back(s.dialogEntries[0]);
         }, "dialog-never-opens", "dialog.name.02"},
        {"DialogWithoutScroller", [](LinkSetup& s) { s.dialogEntries[0].pop_back(); }, "missing-control", "TEXT_SCROLLER"},
        {"DialogWithoutClose", [](LinkSetup& s) { s.dialogEntries[0].erase(s.dialogEntries[0].begin()); },
         "missing-control", "BUTTON_CLOSE"},
        // A near miss is pointed at where it is written.
        {"CloseInWrongCase", [](LinkSetup& s) { s.dialogEntries[0][0].value = "Button_Close,10,10,20,20,Close"; },
         "missing-control", "[BUTTONINFO] 1"},
        {"ScrollerMisspelt", [](LinkSetup& s) { s.main = With(s.main, {"HSCROLLINFO", "1", "TEXT_SCROLER,Tahoma,TRUE,FALSE,-13,0,10,60,100,16,About"}); },
         "missing-control", "[HSCROLLINFO] 1"},
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

TEST(StrayMaskPixels, CountsLightPixelsBesideTheCutAwayWhite)
{
    // 4 x 3: white column on the left, then light, dark and light pixels.
    const unsigned W = 0xFFFFFF, L = 0xF4F8F0, D = 0x202020, E = 0xEFFFFF;
    const struct {
        std::vector<unsigned> pixels;
        int stray;
    } cases[] = {
        {{W, L, D, L, W, D, D, D, W, W, W, W}, 1},  // the light pixel far from white is no fringe
        {{W, E, D, D, W, E, D, D, W, E, D, D}, 0},  // one channel below 0xF0
        {{D, D, D, D, D, L, L, D, D, D, D, D}, 0},  // no white at all
        {{W, W, W, W, W, W, W, W, W, W, W, W}, 0},
        {{L, W, L, W, L, W, L, W, L, W, L, W}, 6},  // diagonal neighbours count too
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrayMaskPixels(c.pixels, 4, 3), c.stray);
}

}  // namespace
