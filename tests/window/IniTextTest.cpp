// How a skin file reads: the rules of the system's profile function, a byte-order mark skipped.
// Window-free: runs natively and under Wine (where IniFileTest also holds it to the system's own).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/IniText.h"

namespace {

const char* const missing = "<default>";

struct LookupCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;  // `missing` when the default comes back
};

class IniTextLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(IniTextLookup, GivesWhatTheProfileFunctionGives)
{
    const LookupCase& c = GetParam();
    const IniText text(c.file.data(), c.file.size());
    EXPECT_EQ(text.Get(c.section, c.key, missing, 2047), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Files, IniTextLookup, testing::Values(
    LookupCase{"Plain", "[SCREEN]\r\nMain=main.bmp\r\n", "SCREEN", "Main", "main.bmp"},
    LookupCase{"NamesIgnoreCaseAndBlanks", "[Screen]\nmain=a\n", " SCREEN ", "MAIN\t", "a"},
    LookupCase{"BlanksAroundEqualsAndLine", "  [S]  \n\t k \t= \t v v \t\r\n", "S", "k", "v v"},
    LookupCase{"CommentIsAKeyNeverAsked", "[S]\n; Main=x\nMain=y\n", "S", "Main", "y"},
    LookupCase{"FirstKeyOfANameWins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
    LookupCase{"KeyWithoutEqualsHidesLaterOne", "[S]\nk\nk=2\n", "S", "k", missing},
    LookupCase{"FirstSectionOfANameAnswers", "[S]\na=1\n[s]\nb=2\n", "S", "b", missing},
    LookupCase{"KeysBeforeAnySectionNeverFound", "k=1\n[S]\n", "S", "k", missing},
    LookupCase{"SectionNameUpToTheLastBracket", "[A]B]\nk=1\n", "A]B", "k", "1"},
    LookupCase{"BracketWithoutCloseIsAKeyLine", "[S]\n[T=1\n", "S", "[T", "1"},
    LookupCase{"BlanksInsideBracketsDropped", "[ S ]\nk=1\n", "S", "k", "1"},
    LookupCase{"FurtherEqualsBelongToTheValue", "[S]\nk=a=b\n", "S", "k", "a=b"},
    LookupCase{"EmptyValue", "[S]\nk=\n", "S", "k", ""},
    LookupCase{"QuotesDropped", "[S]\nk=\"a b\"\nq='c'\n", "S", "k", "a b"},
    LookupCase{"UnmatchedQuoteKept", "[S]\nk=\"a b\n", "S", "k", "\"a b"},
    LookupCase{"LoneCrDoesNotEndALine", "[S]\nk=1\rj=2\n", "S", "k", "1\rj=2"},
    LookupCase{"EndOfFileByteIsABlank", "[S]\nk=1\x1a\n", "S", "k", "1"},
    LookupCase{"HighBytesAsWritten", "[S]\nk=Caf\xC3\xA9 \xE9\xA0\n", "S", "k", "Caf\xC3\xA9 \xE9\xA0"},
    LookupCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF[SCREEN]\nMain=m\n", "SCREEN", "Main", "m"},
    LookupCase{"LaterByteOrderMarkIsText", "[S]\n\xEF\xBB\xBF[T]\nk=1\n", "T", "k", missing},
    LookupCase{"NulEndsTheValue", std::string("[S]\nk=ab\0cd\n", 12), "S", "k", "ab"}),
    [](const testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

TEST(IniText, DefaultsLoseTrailingBlanksAndQuotes)
{
    const IniText text("[S]\n", 4);
    EXPECT_EQ(text.Get("S", "k", "d  ", 100), "d");
    EXPECT_EQ(text.Get("S", "k", "'d'", 100), "d");
    EXPECT_EQ(text.Get("S", "k", nullptr, 100), "");
}

TEST(IniText, ValuesAreCutToTheBuffer)
{
    const std::string file = "[S]\nk=" + std::string(3000, 'x') + "\n";
    const IniText text(file.data(), file.size());
    EXPECT_EQ(text.Get("S", "k", "", 2047).size(), 2046u);
}

TEST(IniText, ListsKeysAndSectionsAsTheSystemDoes)
{
    const std::string file = "[B]\n1=a\n; note=x\nbare\n2=b\n[b]\n3=c\n[C]\n\xEF\xBB\xBF[D]\n";
    const IniText text(file.data(), file.size());
    EXPECT_EQ(text.Keys("b"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(text.SectionNames(), (std::vector<std::string>{"B", "b", "C"}));
    ASSERT_EQ(text.MarkedLines().size(), 1u);
    EXPECT_EQ(text.MarkedLines()[0].number, 9);
    EXPECT_EQ(text.MarkedLines()[0].text, "[D]");
}

}  // namespace
