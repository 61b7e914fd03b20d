#include "descriptor/DescriptorReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestFolder.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The whole store in slot order; also checks that every slot from count on is empty.
Entries Store(const DescriptorReader& reader)
{
    Entries result;
    for (int i = 0; i < DescriptorReader::MaxEntries; ++i) {
        if (i < reader.count) {
            EXPECT_TRUE(reader.entries[i]) << "slot " << i;
            if (reader.entries[i])
                result.emplace_back(reader.entries[i]->Key(), reader.entries[i]->Value());
        } else {
            EXPECT_FALSE(reader.entries[i]) << "slot " << i;
        }
    }
    return result;
}

Entries ReadBytes(const std::string& bytes)
{
    DescriptorReader reader;
    reader.ReadText(bytes.data(), bytes.size());
    return Store(reader);
}

struct TextCase {
    const char* name;
    std::string bytes;
    Entries expected;
};

class ReadTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(ReadTextTest, StoresTheExpectedEntries)
{
    EXPECT_EQ(ReadBytes(GetParam().bytes), GetParam().expected);
}

const std::string key60(60, 'k');
const std::string longValue(1997, 'v');

INSTANTIATE_TEST_SUITE_P(Lines, ReadTextTest, testing::Values(
    TextCase{"SplitAtFirstEquals", "a=b=c\n", {{"a", "b=c"}}},
    TextCase{"EmptyKey", "=x\n", {{"", "x"}}},
    TextCase{"BlanksBelongToKeyAndValue", "music.file.01 = x\n", {{"music.file.01 ", " x"}}},
    TextCase{"TabsAndTrailingBlanksKept", "\tk = 1 \t\n", {{"\tk ", " 1 \t"}}},
    TextCase{"LineWithoutEquals", "onlykey\n", {{"onlykey", ""}}},
    TextCase{"EqualsAndNothingElse", "key=\n", {{"key", ""}}},
    TextCase{"KeyCutTo50", key60 + "=v\n", {{std::string(50, 'k'), "v"}}},
    TextCase{"LastLineNeedsNoLf", "a=1\nb=2", {{"a", "1"}, {"b", "2"}}},
    TextCase{"EmptyLinesSkipped", "\n\na=1\n\n\n", {{"a", "1"}}},
    TextCase{"CommentInFirstColumnOnly", "#a=1\n #b=2\nc#=3\n", {{" #b", "2"}, {"c#", "3"}}},
    TextCase{"CrLfSameAsLf", "a=1\r\nb=2\r\n", {{"a", "1"}, {"b", "2"}}},
    TextCase{"CrInsideLineDropped", "a=x\ry\r\n", {{"a", "xy"}}},
    TextCase{"LinesOfOnlyCrSkipped", "\r\n\r\r\na=1\r", {{"a", "1"}}},
    TextCase{"CrAloneDoesNotEndLine", "a=1\rb=2\n", {{"a", "1b=2"}}},
    TextCase{"CtrlZEndsFile", "a=1\nb=2\x1a\nc=3\n", {{"a", "1"}, {"b", "2"}}},
    TextCase{"CtrlZMidLineKeepsLineStart", "a=1\x1a" "b=2\n", {{"a", "1"}}},
    TextCase{"CtrlZFirst", "\x1a" "a=1\n", {}},
    TextCase{"LaterValueWins", "a=1\nb=2\na=3\n", {{"a", "3"}, {"b", "2"}}},
    TextCase{"SortedByteWiseCaseSensitive", "b=1\na=2\nB=3\nab=4\n",
             {{"B", "3"}, {"a", "2"}, {"ab", "4"}, {"b", "1"}}},
    TextCase{"HighBytesSortAfterAscii", "\xe9=1\nz=2\n", {{"z", "2"}, {"\xe9", "1"}}},
    TextCase{"NulEndsLineText", std::string("a=1\0junk=2\nb=3", 14), {{"a", "1"}, {"b", "3"}}},
    TextCase{"NulFirstSkipsLine", std::string("\0a=1\nb=2\n", 9), {{"b", "2"}}},
    TextCase{"Line1999BytesReadWhole", "k=" + longValue + "\nz=1\n", {{"k", longValue}, {"z", "1"}}},
    TextCase{"LongerLineCutAndRestSkipped", "k=" + longValue + "TAIL=x\nz=1\n", {{"k", longValue}, {"z", "1"}}},
    TextCase{"CrNotCountedInLineLength", "k=" + longValue + "\r\r\r\n", {{"k", longValue}}},
    TextCase{"CutLineWithoutEqualsInFirst1999", std::string(2500, 'x') + "=v\n", {{std::string(50, 'x'), ""}}},
    // An editor's UTF-8 byte-order mark is no part of the first key; anywhere else it is text.
    TextCase{"ByteOrderMarkAtStartSkipped", "\xEF\xBB\xBF" "a=1\n\xEF\xBB\xBF" "b=2\n", {{"a", "1"}, {"\xEF\xBB\xBF" "b", "2"}}},
    TextCase{"ByteOrderMarkBeforeCommentSkipped", "\xEF\xBB\xBF#c\na=1\n", {{"a", "1"}}}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(DescriptorReaderTest, BinaryBytesGiveTheirTextModeLines)
{
    std::string bytes;
    for (int i = 0; i < 512; ++i)
        bytes += static_cast<char>(i & 0xff);
    // NUL starts line 1 (skipped up to 0x0A); 0x0D is dropped; 0x1A ends the file.
    EXPECT_EQ(ReadBytes(bytes), (Entries{{"\x0b\x0c\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19", ""}}));
}

TEST(DescriptorReaderTest, RandomBytesKeepTheStoreSound)
{
    unsigned state = 12345;
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
        if (c == '\x1a' || c == '@')
            c = '\n';
    }
    DescriptorReader reader;
    reader.ReadText(bytes.data(), bytes.size());
    const Entries store = Store(reader);
    ASSERT_EQ(reader.count, DescriptorReader::MaxEntries);
    for (size_t i = 0; i < store.size(); ++i) {
        EXPECT_LE(store[i].first.size(), DescriptorEntry::MaxKey);
        EXPECT_LT(store[i].second.size(), DescriptorReader::MaxLine);
        if (i > 0) {
            EXPECT_LT(store[i - 1].first, store[i].first);
        }
    }
}

TEST(DescriptorReaderTest, ValueCutTo5000)
{
    DescriptorReader reader;
    reader.ParseLine(("k=" + std::string(6000, 'v')).c_str());
    EXPECT_EQ(std::string(reader.GetString("k")), std::string(DescriptorEntry::MaxValue, 'v'));
}

TEST(DescriptorReaderTest, KeyOver50FoundOnlyByItsFirst50)
{
    DescriptorReader reader;
    reader.ParseLine((key60 + "=v").c_str());
    EXPECT_STREQ(reader.GetString(key60.c_str()), "");
    EXPECT_STREQ(reader.GetString(key60.substr(0, 50).c_str()), "v");
}

std::string Numbered(const char* prefix, int n)
{
    char text[16];
    snprintf(text, sizeof text, "%s%03d", prefix, n);
    return text;
}

TEST(DescriptorReaderTest, FullStoreIgnoresNewKeysAndReplacements)
{
    std::string bytes;
    for (int i = 0; i < 100; ++i)
        bytes += Numbered("k", i) + "=first\n";
    bytes += "a=new\nk000=second\nk099=second\n";
    DescriptorReader reader;
    reader.ReadText(bytes.data(), bytes.size());
    EXPECT_EQ(reader.count, 100);
    EXPECT_STREQ(reader.GetString("a"), "");
    EXPECT_STREQ(reader.GetString("k000"), "first");
    EXPECT_STREQ(reader.GetString("k099"), "first");
}

TEST(DescriptorReaderTest, ReplacementBeforeFullStoreWins)
{
    std::string bytes = "k050=first\n";
    for (int i = 0; i < 98; ++i)
        bytes += Numbered("k", i + (i >= 50)) + "=x\n";
    bytes += "k050=second\nlast=1\nextra=1\n";
    DescriptorReader reader;
    reader.ReadText(bytes.data(), bytes.size());
    EXPECT_EQ(reader.count, 100);
    EXPECT_STREQ(reader.GetString("k050"), "second");
    EXPECT_STREQ(reader.GetString("last"), "1");
    EXPECT_STREQ(reader.GetString("extra"), "");
}

// Every store size from 0 to 100 with keys k000, k002, ...: each stored key is found at its index,
// each key between them reports its insertion position, position 0 as -101.
TEST(DescriptorReaderTest, FindReportsIndexOrNegatedInsertionPosition)
{
    for (int size = 0; size <= DescriptorReader::MaxEntries; ++size) {
        DescriptorReader reader;
        for (int i = size - 1; i >= 0; --i)
            reader.ParseLine((Numbered("k", 2 * i) + "=v").c_str());
        ASSERT_EQ(reader.count, size);
        for (int i = 0; i < size; ++i)
            ASSERT_EQ(reader.Find(Numbered("k", 2 * i).c_str()), i) << "size " << size;
        for (int i = 0; i <= size; ++i) {
            const int position = i == 0 ? -101 : -i;
            ASSERT_EQ(reader.Find(Numbered("k", 2 * i - 1).c_str()), position) << "size " << size << " gap " << i;
        }
        ASSERT_EQ(reader.Find("z"), size == 0 ? -101 : -size);
        ASSERT_EQ(reader.Find(""), -101);
    }
}

TEST(DescriptorReaderTest, AddIntoFullStoreDiscardsAndInsertAtShiftsUp)
{
    DescriptorReader reader;
    reader.InsertAt(std::unique_ptr<DescriptorEntry>(new DescriptorEntry("c=1")), 0);
    reader.InsertAt(std::unique_ptr<DescriptorEntry>(new DescriptorEntry("a=2")), 0);
    reader.InsertAt(std::unique_ptr<DescriptorEntry>(new DescriptorEntry("b=3")), 1);
    EXPECT_EQ(Store(reader), (Entries{{"a", "2"}, {"b", "3"}, {"c", "1"}}));
    for (int i = 3; i < 100; ++i)
        reader.Add(std::unique_ptr<DescriptorEntry>(new DescriptorEntry((Numbered("d", i) + "=x").c_str())));
    reader.Add(std::unique_ptr<DescriptorEntry>(new DescriptorEntry("a=new")));
    EXPECT_EQ(reader.count, 100);
    EXPECT_STREQ(reader.GetString("a"), "2");
}

TEST(DescriptorReaderTest, MissingKeysShareOneEmptyText)
{
    DescriptorReader reader;
    reader.ParseLine("a=1");
    const char* first = reader.GetString("b");
    EXPECT_STREQ(first, "");
    EXPECT_EQ(reader.GetString("zzz"), first);
    EXPECT_EQ(DescriptorReader().GetString("a"), first);
}

struct IntCase {
    const char* value;
    int expected;
};

class GetIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(GetIntTest, ConvertsLikeScanfDecimal)
{
    DescriptorReader reader;
    reader.ParseLine((std::string("n=") + GetParam().value).c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(reader.GetInt("n", true), GetParam().expected) << "value '" << GetParam().value << "'";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

INSTANTIATE_TEST_SUITE_P(Values, GetIntTest, testing::Values(
    IntCase{"2500", 2500}, IntCase{" 700", 700}, IntCase{"\t\v 9", 9}, IntCase{"-12", -12},
    IntCase{"+7", 7}, IntCase{"12abc", 12}, IntCase{"007", 7}, IntCase{"abc", 0}, IntCase{"- 5", 0},
    IntCase{"-", 0}, IntCase{"0x10", 0}, IntCase{"1.9", 1}, IntCase{"2147483647", INT_MAX},
    IntCase{"-2147483648", INT_MIN}, IntCase{"99999999999999999999", INT_MAX},
    IntCase{"-99999999999999999999", INT_MIN}));

TEST(DescriptorReaderTest, GetIntWarnsOnlyForMissingOrEmptyValuesWhenAsked)
{
    DescriptorReader reader;
    reader.ParseLine("empty=");
    testing::internal::CaptureStderr();
    EXPECT_EQ(reader.GetInt("missing", true), 0);
    EXPECT_EQ(reader.GetInt("empty", true), 0);
    EXPECT_EQ(reader.GetInt("missing", false), 0);
    EXPECT_EQ(reader.GetInt("empty", false), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "descriptor reader: no missing found\ndescriptor reader: no empty found\n");
}

TEST(DescriptorReaderTest, MakeKeyPadsToTwoDigitsInOneBuffer)
{
    const struct {
        int n;
        const char* key;
    } cases[] = {{1, "p.01"}, {9, "p.09"}, {12, "p.12"}, {0, "p.00"}, {100, "p.100"}, {-1, "p.-1"}};
    for (const auto& c : cases)
        EXPECT_STREQ(DescriptorReader::MakeKey("p.", c.n), c.key);
    const char* first = DescriptorReader::MakeKey("a.", 1);
    EXPECT_EQ(DescriptorReader::MakeKey("b.", 2), first);
    EXPECT_STREQ(first, "b.02");
}

TEST(DescriptorReaderTest, MakeKeyCutsOverlongPrefixesWithinItsBuffer)
{
    const std::string prefix(1000, 'p');
    const std::string key = DescriptorReader::MakeKey(prefix.c_str(), 1);
    EXPECT_EQ(key, prefix.substr(0, DescriptorReader::KeyBufferSize - 1));
}

// Files: paths resolve against the current directory, which is a fresh folder here.
class DescriptorFileTest : public testing::Test {
protected:
    void SetUp() override { folder.Enter(); }
    TestFolder folder;
};

class CountingReader : public DescriptorReader {
public:
    void OnLoaded() override { ++loaded; }
    int loaded = 0;
};

TEST_F(DescriptorFileTest, MissingFileReportsAndStillCallsOnLoaded)
{
    CountingReader reader;
    testing::internal::CaptureStderr();
    reader.Load("music\\config.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "descriptor music\\config.dat could not be loaded\n");
    EXPECT_EQ(reader.count, 0);
    EXPECT_EQ(reader.loaded, 1);
}

TEST_F(DescriptorFileTest, EmptyFileLoadsQuietly)
{
    folder.Write("music/config.dat", "");
    CountingReader reader;
    testing::internal::CaptureStderr();
    reader.Load("music\\config.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(reader.count, 0);
    EXPECT_EQ(reader.loaded, 1);
}

TEST_F(DescriptorFileTest, IncludesReadInPlaceAndLastLineWins)
{
    folder.Write("music/config.dat", "a=top\n@music\\one.dat\r\nc=top\n");
    folder.Write("music/one.dat", "a=one\nb=one\n@music\\two.dat\nc=one\n");
    folder.Write("music/two.dat", "b=two\nd=two");
    CountingReader reader;
    testing::internal::CaptureStderr();
    reader.Load("music\\config.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Store(reader), (Entries{{"a", "one"}, {"b", "two"}, {"c", "top"}, {"d", "two"}}));
    EXPECT_EQ(reader.loaded, 1);
}

TEST_F(DescriptorFileTest, IncludesSkipTheirOwnByteOrderMarks)
{
    folder.Write("music/config.dat", "\xEF\xBB\xBF@music\\one.dat\n");
    folder.Write("music/one.dat", "\xEF\xBB\xBF" "a=1\n");
    DescriptorReader reader;
    reader.Load("music\\config.dat");
    EXPECT_EQ(Store(reader), (Entries{{"a", "1"}}));
}

TEST_F(DescriptorFileTest, IncludeResolvesAgainstCurrentDirectory)
{
    folder.Write("music/config.dat", "@inc.dat\n");
    folder.Write("music/inc.dat", "wrong=1\n");
    folder.Write("inc.dat", "right=1\n");
    DescriptorReader reader;
    reader.Load("music\\config.dat");
    EXPECT_EQ(Store(reader), (Entries{{"right", "1"}}));
}

TEST_F(DescriptorFileTest, MissingIncludesReportedAndReadingGoesOn)
{
    folder.Write("music/config.dat", "a=1\n@music\\gone.dat\n@gone.dat \n@\nb=2\n");
    DescriptorReader reader;
    testing::internal::CaptureStderr();
    reader.Load("music\\config.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "descriptor music\\gone.dat could not be loaded\n"
              "descriptor gone.dat  could not be loaded\n"
              "descriptor  could not be loaded\n");
    EXPECT_EQ(Store(reader), (Entries{{"a", "1"}, {"b", "2"}}));
}

TEST_F(DescriptorFileTest, NestingUpToTheDepthLimitIsRead)
{
    const int files = DescriptorReader::MaxFileDepth + 1;
    for (int i = 1; i <= files; ++i)
        folder.Write(Numbered("f", i) + ".dat", Numbered("f", i) + "=1\n@" + Numbered("f", i + 1) + ".dat\n");
    DescriptorReader reader;
    testing::internal::CaptureStderr();
    reader.Load("f001.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "descriptor f017.dat could not be loaded\n");
    EXPECT_EQ(reader.count, DescriptorReader::MaxFileDepth);
    EXPECT_STREQ(reader.GetString("f016"), "1");
    EXPECT_STREQ(reader.GetString("f017"), "");
}

struct CycleCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string expectedErrors;
    Entries expected;
};

class IncludeCycleTest : public DescriptorFileTest, public testing::WithParamInterface<CycleCase> {};

TEST_P(IncludeCycleTest, CycleIsRefusedAndReadingGoesOn)
{
    for (const auto& file : GetParam().files)
        folder.Write(file.first, file.second);
    DescriptorReader reader;
    testing::internal::CaptureStderr();
    reader.Load("a.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), GetParam().expectedErrors);
    EXPECT_EQ(Store(reader), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Includes, IncludeCycleTest, testing::Values(
    CycleCase{"Self", {{"a.dat", "x=1\n@a.dat\ny=2\n"}}, "descriptor a.dat could not be loaded\n",
              {{"x", "1"}, {"y", "2"}}},
    CycleCase{"Mutual", {{"a.dat", "@b.dat\na=1\n"}, {"b.dat", "@a.dat\nb=1\n"}},
              "descriptor a.dat could not be loaded\n", {{"a", "1"}, {"b", "1"}}},
    CycleCase{"ManySelfIncludes", {{"a.dat", std::string("@a.dat\n@a.dat\n@a.dat\nk=1\n")}},
              "descriptor a.dat could not be loaded\ndescriptor a.dat could not be loaded\n"
              "descriptor a.dat could not be loaded\n", {{"k", "1"}}},
    CycleCase{"SameFileTwiceIsNotACycle", {{"a.dat", "@b.dat\n@b.dat\n"}, {"b.dat", "n=1\n"}}, "", {{"n", "1"}}}),
    [](const testing::TestParamInfo<CycleCase>& info) { return std::string(info.param.name); });

TEST_F(DescriptorFileTest, HugeFileReadsFirstHundredEntries)
{
    std::string bytes = "big=" + std::string(3000000, 'x') + "=y\n";
    for (int i = 0; i < 20000; ++i)
        bytes += Numbered("k", i % 1000) + "=" + std::to_string(i) + "\r\n";
    folder.Write("huge.dat", bytes);
    DescriptorReader reader;
    reader.Load("huge.dat");
    ASSERT_EQ(reader.count, 100);
    EXPECT_EQ(std::string(reader.GetString("big")), std::string(DescriptorReader::MaxLine - 4, 'x'));
    EXPECT_STREQ(reader.GetString("k000"), "0");
    EXPECT_STREQ(reader.GetString("k098"), "98");
    EXPECT_STREQ(reader.GetString("k099"), "");
}

TEST_F(DescriptorFileTest, FileAndTextReadingAgreeAcrossReadChunks)
{
    std::string bytes = "#c\r\n\r\na= 2\rz\n";
    for (int i = 0; i < 400; ++i)
        bytes += "k" + std::to_string(i % 60) + "=" + std::string(static_cast<size_t>(i * 7 % 3000), 'v') + "\r\n";
    bytes += "last";
    folder.Write("t.dat", bytes);
    DescriptorReader fromFile;
    fromFile.Load("t.dat");
    EXPECT_EQ(Store(fromFile), ReadBytes(bytes));
    EXPECT_EQ(fromFile.count, 62);
    // k59 was last written with 2513 bytes of value, cut with its line.
    EXPECT_EQ(std::string(fromFile.GetString("k59")), std::string(DescriptorReader::MaxLine - 4, 'v'));
}

// Counts what a load does, through the reader's observer.
class LoadCounter : public DescriptorObserver {
public:
    void FileOpened(const char*, const Place&) override { ++opened; }
    void FileRefused(const char*, const Place&, Refusal why, DiskPath::Problem problem) override
    {
        beyondBound += why == Refusal::BeyondBound;
        lastRefusal = why;
        lastProblem = problem;
    }
    int opened = 0;
    int beyondBound = 0;
    Refusal lastRefusal = Refusal::Missing;
    DiskPath::Problem lastProblem = DiskPath::Problem::None;
};

std::string Repeat(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

struct TreeCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // the first one is loaded
    Entries kept;         // entries read before the bound, which must stay
    std::string lostKey;  // an entry after the bound, which must not be read
};

class IncludeTreeTest : public DescriptorFileTest, public testing::WithParamInterface<TreeCase> {};

// Whatever the includes ask for, one load opens a bounded number of files, reports the bound once
// (so the error output stays short) and keeps what it read before.
TEST_P(IncludeTreeTest, LoadIsBoundedAndKeepsWhatItRead)
{
    for (const auto& file : GetParam().files)
        folder.Write(file.first, file.second);
    DescriptorReader reader;
    LoadCounter counter;
    reader.SetObserver(&counter);
    testing::internal::CaptureStderr();
    reader.Load(GetParam().files.front().first.c_str());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_LE(counter.opened, DescriptorReader::MaxFilesPerLoad);
    EXPECT_EQ(counter.beyondBound, 1);
    EXPECT_LE(std::count(errors.begin(), errors.end(), '\n'), DescriptorReader::MaxFilesPerLoad);
    for (const auto& entry : GetParam().kept)
        EXPECT_EQ(reader.GetString(entry.first.c_str()), entry.second) << entry.first;
    EXPECT_STREQ(reader.GetString(GetParam().lostKey.c_str()), "");
}

const std::string kilobyteLine = "pad=" + std::string(1020, 'p') + "\n";

INSTANTIATE_TEST_SUITE_P(Shapes, IncludeTreeTest, testing::Values(
    // 60 x 60 x 60 = 216,000 opens without a bound.
    TreeCase{"ThreeLevelsOfSixty",
             {{"config.dat", "top=1\n" + Repeat("@a.dat\n", 60) + "after=1\n"},
              {"a.dat", "a=1\n" + Repeat("@b.dat\n", 60)},
              {"b.dat", "b=1\n" + Repeat("@c.dat\n", 60)},
              {"c.dat", "c=1\n"}},
             {{"top", "1"}, {"a", "1"}, {"b", "1"}, {"c", "1"}}, "after"},
    TreeCase{"OneFileIncludedOverAndOver", {{"config.dat", "top=1\n" + Repeat("@leaf.dat\n", 1000) + "after=1\n"},
                                            {"leaf.dat", "leaf=1\n"}},
             {{"top", "1"}, {"leaf", "1"}}, "after"},
    // A file that includes itself in ten spellings: each spelling is a cycle only while it is
    // open already, so the includes nest ten deep, ten ways at every level.
    TreeCase{"SpellingsOfOneFile",
             {{"config.dat", "@a.dat\nafter=1\n"},
              {"a.dat", "a=1\n@a.dat\n@./a.dat\n@.\\a.dat\n@././a.dat\n@.\\.\\a.dat\n@x/../a.dat\n"
                        "@x\\..\\a.dat\n@.//a.dat\n@x/./../a.dat\n@./x/../a.dat\n"},
              {"x/keep", ""}},
             {{"a", "1"}}, "after"},
    TreeCase{"ManyCycles", {{"a.dat", "a=1\n" + Repeat("@a.dat\n", 100000) + "after=1\n"}}, {{"a", "1"}}, "after"},
    TreeCase{"ManyMissingFiles", {{"a.dat", "a=1\n" + Repeat("@gone.dat\n", 100000) + "after=1\n"}}, {{"a", "1"}}, "after"},
    TreeCase{"ManyBytes", {{"config.dat", "top=1\n" + Repeat("@big.dat\n", 100) + "after=1\n"},
                           {"big.dat", "big=1\n" + Repeat(kilobyteLine, 200)}},
             {{"top", "1"}, {"big", "1"}}, "after"},
    TreeCase{"ManyLines", {{"config.dat", "top=1\n" + Repeat("@lines.dat\n", 100) + "after=1\n"},
                           {"lines.dat", Repeat("k=v\n", 1000)}},
             {{"top", "1"}, {"k", "v"}}, "after"}),
    [](const testing::TestParamInfo<TreeCase>& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* path;
    DiskPath::Problem problem;
};

class RefusedIncludeTest : public DescriptorFileTest, public testing::WithParamInterface<RefusedCase> {};

// A path the disk may not name is never opened: the player says what it says of a missing file
// and reads on.
TEST_P(RefusedIncludeTest, IsReadAsAMissingFile)
{
    folder.Write("a.dat", std::string("a=1\n@") + GetParam().path + "\nb=2\n");
    DescriptorReader reader;
    LoadCounter counter;
    reader.SetObserver(&counter);
    testing::internal::CaptureStderr();
    reader.Load("a.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("descriptor ") + GetParam().path + " could not be loaded\n");
    EXPECT_EQ(Store(reader), (Entries{{"a", "1"}, {"b", "2"}}));
    EXPECT_EQ(counter.lastRefusal, DescriptorObserver::Refusal::RefusedPath);
    EXPECT_EQ(counter.lastProblem, GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(Paths, RefusedIncludeTest, testing::Values(
    RefusedCase{"\\\\somehost\\share\\x.dat", DiskPath::Problem::Remote},
    RefusedCase{"//somehost/share/x.dat", DiskPath::Problem::Remote},
    RefusedCase{"\\\\.\\pipe\\x", DiskPath::Problem::DevicePath},
    RefusedCase{"CON", DiskPath::Problem::Device},
    RefusedCase{"music\\nul.dat", DiskPath::Problem::Device},
    RefusedCase{"a.dat:hidden", DiskPath::Problem::Stream},
    RefusedCase{"C:\\disk\\a.dat", DiskPath::Problem::Absolute},
    RefusedCase{"\\a.dat", DiskPath::Problem::Absolute},
    RefusedCase{"..\\a.dat", DiskPath::Problem::Climbs}));

}
