#include "checker/DescriptorCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestFolder.h"

namespace {

// A sound descriptor: two songs, one dialog, one long-description target, splash settings.
const std::vector<std::string> baseLines = {
    "# a comment",
    "music.file.01=music\\a.mod",
    "music.desc.01=A",
    "music.file.02=music\\b.ogg",
    "music.desc.02=B",
    "dialog.file.01=gui\\info.ini",
    "dialog.name.01=BUTTON_INFO1",
    "dialog.title.01=Info",
    "dialog.text.01=Hello|world",
    "dialog.dx.01=10",
    "dialog.dy.01=-4",
    "longdesc.target.name.01=notes",
    "longdesc.target.dialog.01=button_info1",
    "music.longdesc.notes.01=first",
    "music.longdesc.notes.02=second",
    "splash.music.file=music\\s.mod",
    "splash.time=2500",
};

// The base with the lines whose keys begin with any of `without` left out and `with` appended.
std::string Descriptor(const std::vector<std::string>& without, const std::vector<std::string>& with,
                       int* firstAppended = nullptr)
{
    std::string text;
    int kept = 0;
    for (const std::string& line : baseLines) {
        bool drop = false;
        for (const std::string& prefix : without)
            drop = drop || line.compare(0, prefix.size(), prefix) == 0;
        if (!drop) {
            text += line + "\r\n";
            ++kept;
        }
    }
    if (firstAppended)
        *firstAppended = kept + 1;
    for (const std::string& line : with)
        text += line + "\r\n";
    return text;
}

struct Expected {
    std::string code;
    Severity severity;
    std::string key;
    int line;  // 0: not checked; -1: the first appended line, -2 the second, ...
    const char* says = "";  // part of the problem's text
};

struct FaultCase {
    const char* name;
    std::vector<std::string> without;
    std::vector<std::string> with;
    std::vector<Expected> expected;
};

// The plan points into the scan, so both live together.
struct Checked {
    DescriptorScan scan;
    Report report;
    DiskPlan plan;
};

std::unique_ptr<Checked> Check(const std::string& text)
{
    auto checked = std::make_unique<Checked>();
    checked->scan.LoadText("music\\config.dat", text);
    checked->plan = CheckDescriptor(checked->scan, "music\\config.dat", checked->report);
    return checked;
}

std::string Describe(const Report& report)
{
    return report.Text();
}

TEST(CheckDescriptor, AByteOrderMarkAtTheStartIsClean)
{
    const auto checked = Check("\xEF\xBB\xBF" + Descriptor({}, {}));
    EXPECT_TRUE(checked->report.Findings().empty()) << Describe(checked->report);
}

// Saved as UTF-16 the descriptor holds none of its settings for the player; that is said once,
// not once for each garbled line.
TEST(CheckDescriptor, AUtf16FileIsOneError)
{
    const std::string text = Descriptor({}, {});
    std::string utf16 = "\xFF\xFE";
    for (char c : text)
        utf16 += std::string(1, c) + '\0';
    const auto checked = Check(utf16);
    const std::vector<Finding>& findings = checked->report.Findings();
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].code, "utf16-file");
    EXPECT_EQ(findings[0].line, 1);
    for (size_t i = 1; i < findings.size(); ++i)
        EXPECT_EQ(findings[i].line, 0) << Describe(checked->report);
}

TEST(CheckDescriptor, TheSoundDescriptorIsClean)
{
    const auto checked = Check(Descriptor({}, {}));
    const Report& report = checked->report;
    const DiskPlan& plan = checked->plan;
    EXPECT_TRUE(report.Findings().empty()) << Describe(report);
    ASSERT_EQ(plan.songs.size(), 2u);
    EXPECT_EQ(plan.songs[1].value, "music\\b.ogg");
    EXPECT_EQ(plan.songs[1].at->place.line, 4);
    EXPECT_EQ(plan.splashMusic.value, "music\\s.mod");
    ASSERT_EQ(plan.dialogs.size(), 1u);
    EXPECT_EQ(plan.dialogs[0].name, "BUTTON_INFO1");
    EXPECT_EQ(plan.dialogs[0].file, "gui\\info.ini");
}

class OneFault : public testing::TestWithParam<FaultCase> {};

TEST_P(OneFault, IsReportedAloneAtItsPlace)
{
    int first = 0;
    const auto checked = Check(Descriptor(GetParam().without, GetParam().with, &first));
    const Report& report = checked->report;
    ASSERT_EQ(report.Findings().size(), GetParam().expected.size()) << Describe(report);
    for (size_t i = 0; i < GetParam().expected.size(); ++i) {
        const Finding& found = report.Findings()[i];
        const Expected& want = GetParam().expected[i];
        EXPECT_EQ(found.code, want.code) << Describe(report);
        EXPECT_EQ(found.severity, want.severity) << found.code;
        EXPECT_EQ(found.key, want.key) << found.code;
        if (want.line) {
            EXPECT_EQ(found.line, want.line > 0 ? want.line : first - want.line - 1) << found.code;
        }
        EXPECT_FALSE(found.problem.empty());
        EXPECT_FALSE(found.fix.empty());
        EXPECT_NE(found.problem.find(want.says), std::string::npos) << found.problem;
    }
}

std::vector<std::string> Songs(int from, int to)
{
    std::vector<std::string> lines;
    for (int n = from; n <= to; ++n)
        lines.push_back(NumberedKey("music.file.", n) + "=music\\x.mod");
    return lines;
}

std::vector<std::string> Dialogs(int from, int to)
{
    std::vector<std::string> lines;
    for (int n = from; n <= to; ++n)
        for (const char* prefix : {"dialog.file.", "dialog.name.", "dialog.dx.", "dialog.dy."})
            lines.push_back(NumberedKey(prefix, n) + "=" +
                            (std::string(prefix) == "dialog.name." ? "BUTTON_INFO" + std::to_string(n) : "1"));
    return lines;
}

const Severity E = Severity::Error;
const Severity W = Severity::Warning;
const int last = static_cast<int>(baseLines.size()) + 1;  // the first appended line

INSTANTIATE_TEST_SUITE_P(Faults, OneFault, testing::Values(
    FaultCase{"GapInSongs", {}, {"music.file.04=music\\d.mod"}, {{"list-gap", E, "music.file.04", -1}}},
    FaultCase{"EmptySongEndsTheList", {"music.file.02"}, {"music.file.02=", "music.desc.03=x", "music.file.03=music\\c.mod"},
              {{"list-gap", E, "music.file.03", -3}}},
    FaultCase{"GapInDialogs", {}, {"dialog.file.03=gui\\x.ini"}, {{"list-gap", E, "dialog.file.03", -1}}},
    FaultCase{"GapInTargets", {}, {"longdesc.target.name.03=x"}, {{"list-gap", E, "longdesc.target.name.03", -1}}},
    FaultCase{"NoSongs", {"music."}, {}, {{"no-songs", E, "music.file.01", 0}}},
    FaultCase{"BlankBeforeEquals", {"music.desc.01"}, {"music.desc.01 =A"}, {{"blank-in-key", E, "music.desc.01 ", -1}}},
    FaultCase{"BlankAfterEqualsInText", {"music.desc.01"}, {"music.desc.01= A"}, {{"blank-after-equals", W, "music.desc.01", -1}}},
    FaultCase{"BlankAfterEqualsInPath", {"splash.music"}, {"splash.music.file= music\\s.mod"},
              {{"blank-after-equals", E, "splash.music.file", -1}}},
    FaultCase{"KeyCut", {}, {"music.longdesc.notes.01" + std::string(30, 'x') + "=v"},
              {{"key-cut", E, "music.longdesc.notes.01" + std::string(27, 'x'), -1}}},
    FaultCase{"LineCut", {"music.desc.02"}, {"music.desc.02=" + std::string(2100, 'b')}, {{"line-cut", W, "", -1}}},
    FaultCase{"ZeroByte", {"music.desc.02"}, {std::string("music.desc.02=a\0b", 17)}, {{"zero-byte", W, "", -1}}},
    FaultCase{"EndByte", {}, {"\x1a" "music.desc.02=lost"}, {{"end-byte", W, "", -1}}},
    FaultCase{"DuplicateKey", {}, {"music.desc.01=again"}, {{"duplicate-key", W, "music.desc.01", -1}}},
    FaultCase{"EntriesPast100", {}, [] {
                  std::vector<std::string> lines = Songs(3, 86);  // 16 + 84 = 100 entries
                  lines.push_back("music.desc.03=dropped");
                  return lines;
              }(), {{"entry-dropped", E, "music.desc.03", -85}}},
    FaultCase{"NoEquals", {}, {"music.desc.02"}, {{"no-equals", W, "music.desc.02", -1}}},
    FaultCase{"SplashTimeNotANumber", {"splash.time"}, {"splash.time=abc"}, {{"splash-time", E, "splash.time", -1}}},
    FaultCase{"SplashTimeWithUnit", {"splash.time"}, {"splash.time=2500ms"}, {{"splash-time", W, "splash.time", -1}}},
    FaultCase{"SplashTimeZero", {"splash.time"}, {"splash.time=0"}, {{"splash-time", W, "splash.time", -1}}},
    FaultCase{"SplashTimeMissing", {"splash.time"}, {}, {{"splash-time-missing", W, "splash.time", 0}}},
    FaultCase{"SplashMusicOneCharacter", {"splash.music"}, {"splash.music.file=x"}, {{"splash-music-short", W, "splash.music.file", -1}}},
    FaultCase{"DialogWithoutName", {}, {"dialog.file.02=gui\\two.ini", "dialog.dx.02=0", "dialog.dy.02=0"},
              {{"dialog-no-name", E, "dialog.name.02", -1}}},
    FaultCase{"DialogNameTwice", {}, {"dialog.file.02=gui\\two.ini", "dialog.name.02=Button_Info1", "dialog.dx.02=0", "dialog.dy.02=0"},
              {{"dialog-name-twice", W, "dialog.name.02", -2}}},
    FaultCase{"DialogOffsetMissing", {"dialog.dy.01"}, {}, {{"dialog-offset-missing", W, "dialog.dy.01", 6}}},
    FaultCase{"DialogOffsetNotANumber", {"dialog.dx.01"}, {"dialog.dx.01=left"}, {{"offset-not-number", W, "dialog.dx.01", -1}}},
    FaultCase{"DialogKeyWithoutDialog", {}, {"dialog.title.04=x"}, {{"dialog-extra-key", W, "dialog.title.04", -1}}},
    FaultCase{"MoreThanTenDialogs", {}, Dialogs(2, 11), {{"too-many-dialogs", W, "dialog.file.11", -37}}},
    FaultCase{"TargetWithoutName", {}, {"longdesc.target.dialog.02=BUTTON_INFO1"}, {{"target-no-name", E, "longdesc.target.dialog.02", -1}}},
    FaultCase{"TargetNamingNoDialog", {"longdesc.target.dialog"}, {"longdesc.target.dialog.01=BUTTON_INFO9"},
              {{"target-no-dialog", E, "longdesc.target.dialog.01", -1}}},
    FaultCase{"TargetWithoutDialog", {"longdesc.target.dialog"}, {}, {{"target-no-dialog", E, "longdesc.target.dialog.01", 12}}},
    FaultCase{"TargetNameTooLong", {"longdesc.target.name", "music.longdesc"}, {"longdesc.target.name.01=" + std::string(33, 'n')},
              {{"target-name-long", E, "longdesc.target.name.01", -1}}},
    FaultCase{"LongdescForUnknownTarget", {}, {"music.longdesc.Notes.01=x"}, {{"longdesc-unknown-target", W, "music.longdesc.Notes.01", -1}}},
    FaultCase{"LongdescForUnknownSong", {}, {"music.longdesc.notes.07=x"}, {{"longdesc-unknown-song", W, "music.longdesc.notes.07", -1}}},
    FaultCase{"DescriptionForUnknownSong", {}, {"music.desc.07=x"}, {{"desc-without-song", W, "music.desc.07", -1}}},
    FaultCase{"OneDigitNumber", {}, {"music.file.3=music\\c.mod"}, {{"bad-number", E, "music.file.3", -1}}},
    FaultCase{"ThreeDigitNumber", {}, {"music.desc.001=x"}, {{"bad-number", E, "music.desc.001", -1}}},
    FaultCase{"MisspelledKey", {}, {"music.flie.03=x"}, {{"unknown-key", W, "music.flie.03", -1, "Did you mean music.file.03?"}}},
    FaultCase{"KeyInOtherCase", {"splash.time"}, {"Splash.Time=2500"},
              {{"unknown-key", W, "Splash.Time", -1, "Did you mean splash.time?"}, {"splash-time-missing", W, "splash.time", 0}}},
    FaultCase{"LongdescTargetMisspelt", {}, {"music.longdesc.ntoes.02=x"},
              {{"longdesc-unknown-target", W, "music.longdesc.ntoes.02", -1, "Did you mean notes?"}}},
    FaultCase{"ByteOrderMarkInsideFile", {"music.desc.02"}, {"\xEF\xBB\xBFmusic.desc.02=B"},
              {{"byte-order-mark", E, "\xEF\xBB\xBFmusic.desc.02", -1, "a key it never finds"}}},
    FaultCase{"ByteOrderMarkBeforeComment", {}, {"\xEF\xBB\xBF# joined here"},
              {{"byte-order-mark", W, "\xEF\xBB\xBF# joined here", -1, "not as a comment"}}},
    FaultCase{"IncludeOnAnotherComputer", {}, {"@\\\\somehost\\share\\more.dat"},
              {{"path-refused", E, "@\\\\somehost\\share\\more.dat", -1}}},
    FaultCase{"SongOnAnotherComputer", {"music.file.02"}, {"music.file.02=//somehost/share/b.ogg"},
              {{"path-refused", E, "music.file.02", -1}}},
    FaultCase{"SongIsADevice", {"music.file.02"}, {"music.file.02=music\\com1.ogg"}, {{"path-refused", E, "music.file.02", -1}}},
    FaultCase{"SplashMusicOutsideTheDisk", {"splash.music"}, {"splash.music.file=..\\s.mod"},
              {{"path-refused", E, "splash.music.file", -1}}},
    FaultCase{"DialogSkinAbsolute", {"dialog.file.01"}, {"dialog.file.01=C:\\disk\\gui\\info.ini"},
              {{"path-refused", E, "dialog.file.01", -1}}}));

// Files of a hundred includes each, four levels deep: 100,000,000 files to read without the
// load's bound. The check ends with one finding at the include where the player stops, and the
// lines read again and again are reported once.
TEST(CheckDescriptor, AnIncludeTreeBeyondTheLoadsBoundIsOneError)
{
    TestFolder folder;
    folder.Enter();
    const auto hundred = [](const char* file) {
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += std::string("@music\\") + file + ".dat\n";
        return text;
    };
    folder.Write("music\\config.dat", Descriptor({}, {}) + hundred("a"));
    folder.Write("music\\a.dat", hundred("b"));
    folder.Write("music\\b.dat", hundred("c"));
    folder.Write("music\\c.dat", hundred("d"));
    folder.Write("music\\d.dat", "music.desc.01=deep\n");
    DescriptorScan scan;
    testing::internal::CaptureStderr();
    scan.Load("music\\config.dat");
    testing::internal::GetCapturedStderr();
    Report report;
    CheckDescriptor(scan, "music\\config.dat", report);
    EXPECT_LE(scan.FilesRead().size(), static_cast<size_t>(DescriptorReader::MaxFilesPerLoad));
    // d.dat is read some 250 times; its line is reported once.
    ASSERT_EQ(report.Findings().size(), 2u) << report.Text();
    EXPECT_EQ(report.Findings()[0].code, "load-bound");
    EXPECT_EQ(report.Findings()[0].file, "music\\c.dat");
    EXPECT_EQ(report.Findings()[0].key, "@music\\d.dat");
    EXPECT_EQ(report.Findings()[1].code, "duplicate-key");
    EXPECT_EQ(report.Findings()[1].file, "music\\d.dat");
    EXPECT_EQ(scan.Value("music.desc.01"), "deep");
}

TEST(CheckDescriptor, MissingAndCyclicIncludesAreErrorsAtTheirLines)
{
    TestFolder folder;
    folder.Enter();
    folder.Write("music\\config.dat", Descriptor({}, {"@music\\nothere.dat", "@music\\self.dat"}));
    folder.Write("music\\self.dat", "# again\n@music\\self.dat\n");
    DescriptorScan scan;
    scan.Load("music\\config.dat");
    Report report;
    CheckDescriptor(scan, "music\\config.dat", report);
    ASSERT_EQ(report.Findings().size(), 2u) << report.Text();
    EXPECT_EQ(report.Findings()[0].code, "file-unreadable");
    EXPECT_EQ(report.Findings()[0].line, last);
    EXPECT_EQ(report.Findings()[1].code, "include-cycle");
    EXPECT_EQ(report.Findings()[1].file, "music\\self.dat");
    EXPECT_EQ(report.Findings()[1].line, 2);
}

TEST(CheckDescriptor, AnUnreadableDescriptorIsOneError)
{
    TestFolder folder;
    folder.Enter();
    DescriptorScan scan;
    scan.Load("music\\config.dat");
    Report report;
    const DiskPlan plan = CheckDescriptor(scan, "music\\config.dat", report);
    ASSERT_EQ(report.Findings().size(), 1u) << report.Text();
    EXPECT_EQ(report.Findings()[0].code, "file-unreadable");
    EXPECT_EQ(report.Findings()[0].severity, Severity::Error);
    EXPECT_TRUE(plan.songs.empty());
}

TEST(CheckDescriptor, TheLastLineOfAKeyIsTheOneCheckedAndUsed)
{
    const auto checked = Check(Descriptor({}, {"music.file.02=music\\c.mod"}));
    const Report& report = checked->report;
    const DiskPlan& plan = checked->plan;
    ASSERT_EQ(report.Findings().size(), 1u);
    EXPECT_EQ(report.Findings()[0].code, "duplicate-key");
    EXPECT_NE(report.Findings()[0].problem.find("line 4"), std::string::npos);
    EXPECT_EQ(plan.songs[1].value, "music\\c.mod");
    EXPECT_EQ(plan.songs[1].at->place.line, last);
}

}  // namespace
