#include "descriptor/Descriptor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/TestFolder.h"

namespace {

// Loads the text as music\config.dat from a fresh current directory.
class DescriptorTest : public testing::Test {
protected:
    void SetUp() override { folder.Enter(); }
    void Load(const std::string& text)
    {
        folder.Write("music/config.dat", text);
        descriptor.Load("music\\config.dat");
    }

    TestFolder folder;
    Descriptor descriptor;
};

TEST_F(DescriptorTest, EmptyOrMissingDescriptorCountsNothing)
{
    Load("");
    EXPECT_EQ(descriptor.SongCount(), 0);
    EXPECT_EQ(descriptor.DialogCount(), 0);
    EXPECT_EQ(descriptor.LongdescTargetCount(), 0);

    Descriptor missing;
    testing::internal::CaptureStderr();
    missing.Load("music\\nothing.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "descriptor music\\nothing.dat could not be loaded\n");
    EXPECT_EQ(missing.SongCount() + missing.DialogCount() + missing.LongdescTargetCount(), 0);
}

struct CountCase {
    const char* name;
    const char* text;
    int songs;
    int dialogs;
    int targets;
};

class CountTest : public testing::TestWithParam<CountCase> {};

TEST_P(CountTest, CountsUpToFirstMissingOrEmptyNumber)
{
    TestFolder folder;
    folder.Enter();
    folder.Write("music/config.dat", GetParam().text);
    Descriptor descriptor;
    descriptor.Load("music\\config.dat");
    EXPECT_EQ(descriptor.SongCount(), GetParam().songs);
    EXPECT_EQ(descriptor.DialogCount(), GetParam().dialogs);
    EXPECT_EQ(descriptor.LongdescTargetCount(), GetParam().targets);
}

INSTANTIATE_TEST_SUITE_P(Lists, CountTest, testing::Values(
    CountCase{"Gap", "music.file.01=a\nmusic.file.02=b\nmusic.file.04=d\n", 2, 0, 0},
    CountCase{"OneDigitNotCounted", "music.file.1=a\nmusic.file.2=b\n", 0, 0, 0},
    CountCase{"EmptyValueEnds", "music.file.01=a\nmusic.file.02=\nmusic.file.03=c\n", 1, 0, 0},
    CountCase{"BlankValueCounts", "music.file.01= \n", 1, 0, 0},
    CountCase{"TwelveSongs",
              "music.file.01=a\nmusic.file.02=a\nmusic.file.03=a\nmusic.file.04=a\nmusic.file.05=a\n"
              "music.file.06=a\nmusic.file.07=a\nmusic.file.08=a\nmusic.file.09=a\nmusic.file.10=a\n"
              "music.file.11=a\nmusic.file.12=a\n", 12, 0, 0},
    CountCase{"IndependentLists",
              "dialog.file.01=d\ndialog.file.02=d\ndialog.file.03=d\nlongdesc.target.name.01=t\n"
              "music.file.02=skipped\n", 0, 3, 1},
    CountCase{"BlankBeforeEqualsIsAnotherKey", "music.file.01 =a\ndialog.file.01=x\n", 0, 1, 0}),
    [](const testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

// Each query reads its own key: a wrong prefix or number format returns another entry's value.
struct QueryCase {
    const char* key;
    std::function<const char*(const Descriptor&)> query;
};

TEST_F(DescriptorTest, EveryTextQueryReadsItsKey)
{
    const QueryCase cases[] = {
        {"music.file.03", [](const Descriptor& d) { return d.SongFile(3); }},
        {"music.desc.03", [](const Descriptor& d) { return d.SongDescription(3); }},
        {"longdesc.target.name.02", [](const Descriptor& d) { return d.LongdescTargetName(2); }},
        {"longdesc.target.dialog.02", [](const Descriptor& d) { return d.LongdescTargetDialog(2); }},
        {"splash.music.file", [](const Descriptor& d) { return d.SplashMusicFile(); }},
        {"dialog.file.12", [](const Descriptor& d) { return d.DialogFile(12); }},
        {"dialog.name.12", [](const Descriptor& d) { return d.DialogName(12); }},
        {"dialog.title.12", [](const Descriptor& d) { return d.DialogTitle(12); }},
        {"dialog.text.12", [](const Descriptor& d) { return d.DialogText(12); }},
    };
    std::string text;
    for (const QueryCase& c : cases)
        text += std::string(c.key) + "=value of " + c.key + "\n";
    Load(text);
    for (const QueryCase& c : cases) {
        EXPECT_EQ(std::string(c.query(descriptor)), std::string("value of ") + c.key);
        EXPECT_STREQ(c.query(Descriptor()), "") << c.key;
    }
}

TEST_F(DescriptorTest, LongDescriptionsRoutedByTargetName)
{
    Load("longdesc.target.name.01=info\nlongdesc.target.name.02=credits\n"
         "music.longdesc.info.03=info three\nmusic.longdesc.credits.03=credits three\n"
         "music.longdesc.info.01=info one\n");
    EXPECT_EQ(descriptor.LongdescTargetCount(), 2);
    EXPECT_STREQ(descriptor.SongLongDescription(3, 1), "info three");
    EXPECT_STREQ(descriptor.SongLongDescription(3, 2), "credits three");
    EXPECT_STREQ(descriptor.SongLongDescription(1, 1), "info one");
    EXPECT_STREQ(descriptor.SongLongDescription(1, 2), "");
}

TEST_F(DescriptorTest, LongDescriptionTargetNameLengths)
{
    const std::string name32(32, 'n');
    const std::string name33(33, 'm');
    const std::string huge(1900, 'h');
    Load("longdesc.target.name.01=" + name32 + "\nlongdesc.target.name.02=" + name33 +
         "\nlongdesc.target.name.03=" + huge + "\nmusic.longdesc." + name32 + ".01=fits\nmusic.longdesc." +
         name33 + ".01=cut\nmusic.longdesc." + huge + ".01=cut\n");
    EXPECT_STREQ(descriptor.SongLongDescription(1, 1), "fits");
    EXPECT_STREQ(descriptor.SongLongDescription(1, 2), "");
    EXPECT_STREQ(descriptor.SongLongDescription(1, 3), "");
}

struct SplashCase {
    const char* line;
    int expected;
};

class SplashTimeTest : public testing::TestWithParam<SplashCase> {};

TEST_P(SplashTimeTest, ConvertsWithoutMessage)
{
    TestFolder folder;
    folder.Enter();
    folder.Write("music/config.dat", GetParam().line);
    Descriptor descriptor;
    descriptor.Load("music\\config.dat");
    testing::internal::CaptureStderr();
    EXPECT_EQ(descriptor.SplashTime(), GetParam().expected);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

INSTANTIATE_TEST_SUITE_P(Forms, SplashTimeTest, testing::Values(
    SplashCase{"splash.time=2500\n", 2500}, SplashCase{"splash.time=abc\n", 0}, SplashCase{"splash.time=\n", 0},
    SplashCase{"splash.time= 700\n", 700}, SplashCase{"splash.time=1500ms\r\n", 1500}, SplashCase{"", 0},
    SplashCase{"splash.time =900\n", 0}));

struct OffsetCase {
    const char* name;
    const char* text;
    int dx;
    int dy;
    const char* errors;
};

class DialogOffsetTest : public testing::TestWithParam<OffsetCase> {};

TEST_P(DialogOffsetTest, ReadsDxThenDyAndReportsEachMissingKey)
{
    TestFolder folder;
    folder.Enter();
    folder.Write("music/config.dat", GetParam().text);
    Descriptor descriptor;
    descriptor.Load("music\\config.dat");
    int dx = -1;
    int dy = -1;
    testing::internal::CaptureStderr();
    descriptor.DialogOffset(2, dx, dy);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), GetParam().errors);
    EXPECT_EQ(dx, GetParam().dx);
    EXPECT_EQ(dy, GetParam().dy);
}

INSTANTIATE_TEST_SUITE_P(Offsets, DialogOffsetTest, testing::Values(
    OffsetCase{"Both", "dialog.dx.02=10\ndialog.dy.02=-5\ndialog.dx.01=99\n", 10, -5, ""},
    OffsetCase{"DxMissing", "dialog.file.02=x\ndialog.dy.02=7\n", 0, 7, "descriptor reader: no dialog.dx.02 found\n"},
    OffsetCase{"DyEmpty", "dialog.dx.02=3\ndialog.dy.02=\n", 3, 0, "descriptor reader: no dialog.dy.02 found\n"},
    OffsetCase{"BothMissing", "dialog.dx.2=3\n", 0, 0,
               "descriptor reader: no dialog.dx.02 found\ndescriptor reader: no dialog.dy.02 found\n"},
    OffsetCase{"NotANumberIsQuietZero", "dialog.dx.02=left\ndialog.dy.02=top\n", 0, 0, ""}),
    [](const testing::TestParamInfo<OffsetCase>& info) { return std::string(info.param.name); });

}
