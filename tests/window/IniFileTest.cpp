#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/window/TestSupport.h"
#include "window/IniFile.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string longValue(3000, 'x');
        WriteText(folder.File("skin.ini"), "[SCREEN]\r\nMain=main.bmp\r\nEmpty=\r\n"
                                           "Blanks =  padded value  \r\nLong=" +
                                               longValue + "\r\n[other]\r\nMain=second\r\n");
        ini.SetPath(folder.File("skin.ini").c_str());
    }
    ScratchFolder folder{"ini_test"};
    IniFile ini;
};

std::string Text(const GlobalText& value)
{
    return value ? std::string(value.Get()) : std::string("<null>");
}

TEST_F(IniFileTest, GetStringCases)
{
    struct Case {
        const char* section;
        const char* key;
        const char* defaultValue;
        const char* expected;
    } cases[] = {
        {"SCREEN", "Main", "", "main.bmp"},
        {"screen", "MAIN", nullptr, "main.bmp"},          // matching ignores case
        {"other", "Main", "", "second"},
        {"SCREEN", "Missing", "fallback", "fallback"},    // default for a missing key
        {"SCREEN", "Missing", "", "<null>"},
        {"SCREEN", "Missing", nullptr, "<null>"},
        {"SCREEN", "Empty", "", "<null>"},
        {"SCREEN", "Empty", "fallback", "<null>"},        // present but empty: no default
        {"NOSECTION", "Main", "fallback", "fallback"},
        {"SCREEN", "Blanks", "", "padded value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(Text(ini.GetString(c.section, c.key, c.defaultValue)), c.expected);
    }
}

TEST_F(IniFileTest, ValuesAreFreshBlocksOfTheirOwn)
{
    const char* fallback = "fallback";
    GlobalText a = ini.GetString("SCREEN", "Missing", fallback);
    GlobalText b = ini.GetString("SCREEN", "Main", "");
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_NE(a.Get(), fallback);
    EXPECT_GE(GlobalSize(a.Get()), 2048u);
    EXPECT_GE(GlobalSize(b.Get()), 2048u);
    EXPECT_NE(a.Get(), b.Get());
}

TEST_F(IniFileTest, LongValueIsCutTo2046)
{
    GlobalText value = ini.GetString("SCREEN", "Long", "");
    ASSERT_TRUE(value);
    EXPECT_EQ(strlen(value.Get()), 2046u);
}

TEST(IniFile, BareFileNameMeansTheCurrentDirectory)
{
    WriteText("bare_test.ini", "[SCREEN]\r\nMain=here\r\n");
    IniFile ini;
    ini.SetPath("bare_test.ini");
    EXPECT_EQ(Text(ini.GetString("SCREEN", "Main", "")), "here");
    // The kept path is a full one that ends in the given name.
    std::string kept = ini.path.Get();
    EXPECT_GT(kept.size(), strlen("bare_test.ini"));
    EXPECT_EQ(kept.substr(kept.size() - 13), "bare_test.ini");
    DeleteFileA("bare_test.ini");
}

TEST(IniFile, MissingFileOrNoPathGivesTheDefault)
{
    IniFile ini;
    EXPECT_EQ(Text(ini.GetString("SCREEN", "Main", "d")), "d");
    EXPECT_EQ(Text(ini.GetString("SCREEN", "Main", "")), "<null>");
    ini.SetPath("no_such_folder\\none.ini");
    EXPECT_EQ(Text(ini.GetString("SCREEN", "Main", "d")), "d");
}

TEST(IniFile, OverlongPathIsCutTo259)
{
    IniFile ini;
    std::string path = "C:\\" + std::string(400, 'p');
    ini.SetPath(path.c_str());
    ASSERT_TRUE(ini.path);
    EXPECT_EQ(strlen(ini.path.Get()), 259u);
    EXPECT_GE(GlobalSize(ini.path.Get()), 260u);
}

TEST(ReadSkinEntry, ReadsNumberedKeysUntilTheFirstGap)
{
    ScratchFolder folder("entry_test");
    WriteText(folder.File("skin.ini"), "[LABELINFO]\r\n1=a\r\n2=b\r\n4=d\r\n[TEXTINFO]\r\n1=x\r\n3=\r\n");
    IniFile ini;
    ini.SetPath(folder.File("skin.ini").c_str());
    int labels = 0;
    while (ReadSkinEntry(ini, "LABELINFO", labels + 1))
        ++labels;
    EXPECT_EQ(labels, 2);
    EXPECT_FALSE(ReadSkinEntry(ini, "TEXTINFO", 3));
    EXPECT_STREQ(ReadSkinEntry(ini, "LABELINFO", 4).Get(), "d");
}

}  // namespace
