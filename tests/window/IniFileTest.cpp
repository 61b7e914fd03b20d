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
    // Kept as given: a full path would have to name the folders above, which the ANSI code page
    // may not be able to write.
    EXPECT_STREQ(ini.path.Get(), "bare_test.ini");
    DeleteFileA("bare_test.ini");
}

// The system's own profile function is the judge of the text rules, for files it reads alike on
// Windows and Wine (without a byte-order mark).
TEST(IniFile, ReadsAsTheProfileFunctionDoes)
{
    const struct {
        std::string file;
        const char* section;
        const char* key;
        const char* defaultValue;
    } cases[] = {
        {"[Screen]\nmain=a\n", " SCREEN ", "MAIN\t", "d"},
        {"  [S]  \n\t k \t= \t v v \t\r\n", "S", "k", "d"},
        {"[S]\n; Main=x\nMain=y\n", "S", "Main", "d"},
        {"[S]\nk=1\nK=2\n", "S", "k", "d"},
        {"[S]\nk\nk=2\n", "S", "k", "d"},
        {"[S]\na=1\n[s]\nb=2\n", "S", "b", "d"},
        {"k=1\n[S]\n", "S", "k", "d"},
        {"[A]B]\nk=1\n", "A]B", "k", "d"},
        {"[S]\n[T=1\n", "S", "[T", "d"},
        {"[ S ]\nk=1\n", "S", "k", "d"},
        {"[S]\nk=\"a b\"\n", "S", "k", "d"},
        {"[S]\nk=\"a b\n", "S", "k", "d"},
        {"[S]\nk=1\x1a\n", "S", "k", "d"},
        {"[S]\nk=Caf\xC3\xA9 \xE9\xA0\n", "S", "k", "d"},
        {"[S]\n", "S", "k", "'d e'  "},
    };
    ScratchFolder folder("ini_oracle");
    const std::string path = folder.File("o.ini");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WriteText(path, c.file);
        char expected[IniFile::valueCapacity] = {};
        GetPrivateProfileStringA(c.section, c.key, c.defaultValue, expected, IniFile::valueCapacity - 1,
                                 path.c_str());
        // The system keeps what it read until the file's time changes; a file rewritten within the
        // same tick must be read anew.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
        IniFile ini;
        ini.SetPath(path.c_str());
        EXPECT_EQ(Text(ini.GetString(c.section, c.key, c.defaultValue)),
                  expected[0] ? std::string(expected) : std::string("<null>"));
    }
}

// A byte-order mark is skipped, whatever the system would make of it, and a UTF-16 file reads in
// the ANSI code page.
TEST(IniFile, ByteOrderMarksAreSkipped)
{
    ScratchFolder folder("ini_marks");
    // U+00E9 in the ANSI code page.
    char e[8] = {};
    WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, e, sizeof e, nullptr, nullptr);
    const struct {
        std::string file;
        std::string expected;
    } cases[] = {
        {"\xEF\xBB\xBF[SCREEN]\r\nMain=Caf\xC3\xA9\r\n", "Caf\xC3\xA9"},
        {std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xE9\0\n\0", 18), e},
        {std::string("\xFE\xFF\0[\0S\0]\0\n\0k\0=\0\xE9\0\n", 18), e},
    };
    for (const auto& c : cases) {
        WriteText(folder.File("m.ini"), c.file);
        IniFile ini;
        ini.SetPath(folder.File("m.ini").c_str());
        const bool screen = c.file[0] == '\xEF';
        EXPECT_EQ(Text(ini.GetString(screen ? "SCREEN" : "S", screen ? "Main" : "k", "")), c.expected);
    }
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
