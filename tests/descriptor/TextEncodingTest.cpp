#include "descriptor/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EncodingCase {
    const char* name;
    std::string text;
    bool utf8;
    size_t whole;  // WholeUtf8Length
};

class TextEncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(TextEncodingTest, TellsUtf8FromTheAnsiCodePage)
{
    const EncodingCase& c = GetParam();
    EXPECT_EQ(IsUtf8Text(c.text.data(), c.text.size()), c.utf8);
    EXPECT_EQ(WholeUtf8Length(c.text.data(), c.text.size()), c.whole);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextEncodingTest, testing::Values(
    EncodingCase{"PlainAsciiIsAnsi", "R&B at 120 bpm", false, 14},
    EncodingCase{"EmptyIsAnsi", "", false, 0},
    EncodingCase{"TwoByteLetters", "Caf\xC3\xA9 \xC3\x9Cmlaut", true, 13},
    EncodingCase{"ThreeByteDash", "a \xE2\x80\x94 b", true, 7},
    EncodingCase{"FourByteSign", "\xF0\x9F\x8E\xB5", true, 4},
    EncodingCase{"GreekAndCyrillic", "\xCE\xB1\xCE\xB2 \xD0\xB6", true, 7},
    EncodingCase{"Windows1252Letters", "Caf\xE9 \xDCmlaut", false, 11},
    EncodingCase{"Windows1252LetterLast", "Caf\xE9", false, 3},
    EncodingCase{"CutSequenceAfterWholeOnes", "\xC3\xA9t\xC3", true, 3},
    EncodingCase{"CutThreeByteSequence", "\xC3\xA9\xE2\x80", true, 2},
    EncodingCase{"BadContinuation", "\xC3\xA9\xC3(", false, 4},
    EncodingCase{"OverlongSlash", "\xC0\xAF\xC3\xA9", false, 4},
    EncodingCase{"OverlongThreeBytes", "\xE0\x80\xAF", false, 3},
    EncodingCase{"Surrogate", "\xED\xA0\x80", false, 3},
    EncodingCase{"BeyondUnicode", "\xF4\x90\x80\x80", false, 4},
    EncodingCase{"StrayContinuation", "a\x80" "b\xC3\xA9", false, 5}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return std::string(info.param.name); });

TEST(ByteOrderMarkTest, FindsEachMarkAndItsSize)
{
    const struct {
        std::string bytes;
        ByteOrderMark mark;
        size_t size;
    } cases[] = {
        {"\xEF\xBB\xBF[SCREEN]", ByteOrderMark::Utf8, 3},
        {std::string("\xFF\xFE[\0", 4), ByteOrderMark::Utf16LittleEndian, 2},
        {std::string("\xFE\xFF\0[", 4), ByteOrderMark::Utf16BigEndian, 2},
        {"\xEF\xBB", ByteOrderMark::None, 0},
        {"[SCREEN]", ByteOrderMark::None, 0},
    };
    for (const auto& c : cases) {
        const ByteOrderMark mark = FindByteOrderMark(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(mark, c.mark) << c.bytes;
        EXPECT_EQ(ByteOrderMarkSize(mark), c.size) << c.bytes;
    }
}

}  // namespace
