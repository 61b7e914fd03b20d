#include "checker/DescriptorScan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "descriptor/DescriptorReader.h"
#include "tests/support/TestFolder.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries ReaderStore(const DescriptorReader& reader)
{
    Entries result;
    for (int i = 0; i < reader.count; ++i)
        result.emplace_back(reader.entries[i]->Key(), reader.entries[i]->Value());
    return result;
}

Entries ScanStore(const DescriptorScan& scan)
{
    Entries result;
    for (const auto& stored : scan.Store())
        result.emplace_back(stored.first, scan.Lines()[stored.second].value);
    return result;
}

std::string ManyEntries(int from, int to)
{
    std::string text;
    for (int i = from; i <= to; ++i)
        text += "k" + std::to_string(i) + "=v\n";
    return text;
}

struct Files {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // the first one is the top file
};

// The scan must end with exactly the store the player's reader builds from the same files.
class SameStoreAsReader : public testing::TestWithParam<Files> {};

TEST_P(SameStoreAsReader, ForTheSameFiles)
{
    TestFolder folder;
    folder.Enter();
    for (const auto& file : GetParam().files)
        folder.Write(file.first, file.second);
    const std::string top = GetParam().files.front().first;
    DescriptorReader reader;
    testing::internal::CaptureStderr();
    reader.Load(top.c_str());
    DescriptorScan scan;
    scan.Load(top.c_str());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ScanStore(scan), ReaderStore(reader));
    for (const char* key : {"a", "b", "c", "music.file.01", "k1", "long"})
        EXPECT_EQ(scan.Value(key), reader.GetString(key)) << key;
}

const std::string longLine = "long=" + std::string(2500, 'x') + "\n";

INSTANTIATE_TEST_SUITE_P(Rules, SameStoreAsReader, testing::Values(
    Files{"Plain", {{"music\\config.dat", "a=1\nb=2\n#c=3\n\nmusic.file.01=x\n"}}},
    Files{"CrLfAndStrayCr", {{"music\\config.dat", "a=1\r\nb=\r2\r\nc\r=3"}}},
    Files{"EqualsAndBlanks", {{"music\\config.dat", "a=b=c\n=x\nk = v\nonlykey\n"}}},
    Files{"LongKeyAndLongLine", {{"music\\config.dat", std::string(60, 'k') + "=v\n" + longLine}}},
    Files{"ZeroByteAndEndByte", {{"music\\config.dat", std::string("a=x\0y\nb=2\n\x1a" "c=3\n", 15)}}},
    Files{"LastLineWins", {{"music\\config.dat", "a=1\nb=2\na=3\n"}}},
    Files{"FullStoreKeepsEarlierValue", {{"music\\config.dat", ManyEntries(1, 100) + "k1=late\nnew=x\n"}}},
    Files{"Includes", {{"music\\config.dat", "a=1\n@music\\more.dat\nc=3\n"},
                       {"music\\more.dat", "b=2\na=inc\n@music\\missing.dat\n"}}},
    Files{"IncludeCycle", {{"music\\config.dat", "a=1\n@music\\loop.dat\n"},
                           {"music\\loop.dat", "b=2\n@music\\config.dat\n@music\\loop.dat\nc=3\n"}}}));

TEST(DescriptorScan, RemembersWhereEveryLineCameFrom)
{
    TestFolder folder;
    folder.Enter();
    folder.Write("music\\config.dat", "# songs\r\nmusic.file.01=a\r\n@music\\more.dat\r\nx=1\r\n");
    folder.Write("music\\more.dat", "\nmusic.file.01=b\n");
    DescriptorScan scan;
    scan.Load("music\\config.dat");
    ASSERT_EQ(scan.Lines().size(), 3u);
    EXPECT_EQ(scan.Lines()[0].place.file, "music\\config.dat");
    EXPECT_EQ(scan.Lines()[0].place.line, 2);
    EXPECT_EQ(scan.Lines()[1].place.file, "music\\more.dat");
    EXPECT_EQ(scan.Lines()[1].place.line, 2);
    EXPECT_EQ(scan.Lines()[1].outcome, DescriptorScan::Outcome::Replaced);
    EXPECT_EQ(scan.Lines()[1].replacedLine, 0);
    EXPECT_EQ(scan.Lines()[0].replacedBy, 1);
    EXPECT_EQ(scan.Lines()[2].place.line, 4);
    EXPECT_EQ(scan.Where("music.file.01")->value, "b");
    EXPECT_EQ(scan.FilesRead(), (std::vector<std::string>{"music\\config.dat", "music\\more.dat"}));
}

TEST(DescriptorScan, ReportsWhatTheRulesCutAway)
{
    TestFolder folder;
    folder.Enter();
    folder.Write("c.dat", "a=1\n" + longLine + std::string("z=a\0b\n", 6) + "q=2\n\x1a" "lost=1\n");
    DescriptorScan scan;
    scan.Load("c.dat");
    ASSERT_EQ(scan.Cuts().size(), 3u);
    EXPECT_EQ(scan.Cuts()[0].kind, DescriptorScan::CutKind::LongLine);
    EXPECT_EQ(scan.Cuts()[0].place.line, 2);
    EXPECT_EQ(scan.Cuts()[1].kind, DescriptorScan::CutKind::ZeroByte);
    EXPECT_EQ(scan.Cuts()[1].place.line, 3);
    EXPECT_EQ(scan.Cuts()[2].kind, DescriptorScan::CutKind::EndOfFileByte);
    EXPECT_EQ(scan.Cuts()[2].place.line, 5);
    EXPECT_EQ(scan.Value("long").size(), DescriptorReader::MaxLine - 5);
    EXPECT_EQ(scan.Value("z"), "a");
    EXPECT_EQ(scan.Where("lost"), nullptr);
}

TEST(DescriptorScan, AFinalEndByteIsNotACut)
{
    DescriptorScan scan;
    scan.LoadText("c.dat", "a=1\r\n\x1a");
    EXPECT_TRUE(scan.Cuts().empty());
    EXPECT_EQ(scan.Value("a"), "1");
}

TEST(DescriptorScan, TellsUnreadFilesApart)
{
    TestFolder folder;
    folder.Enter();
    folder.Write("c.dat", "@missing.dat\n@loop.dat\n");
    folder.Write("loop.dat", "@loop.dat\n");
    DescriptorScan scan;
    scan.Load("c.dat");
    ASSERT_EQ(scan.UnreadFiles().size(), 2u);
    EXPECT_EQ(scan.UnreadFiles()[0].path, "missing.dat");
    EXPECT_EQ(scan.UnreadFiles()[0].problem, DescriptorScan::FileProblem::Missing);
    EXPECT_EQ(scan.UnreadFiles()[0].from.line, 1);
    EXPECT_EQ(scan.UnreadFiles()[1].problem, DescriptorScan::FileProblem::Cycle);
    EXPECT_EQ(scan.UnreadFiles()[1].from.file, "loop.dat");

    DescriptorScan none;
    none.Load("nothere.dat");
    ASSERT_EQ(none.UnreadFiles().size(), 1u);
    EXPECT_EQ(none.UnreadFiles()[0].from.line, 0);
    EXPECT_TRUE(none.FilesRead().empty());
}

TEST(DescriptorScan, MarksCutKeysAndDroppedEntries)
{
    DescriptorScan scan;
    scan.LoadText("c.dat", std::string(51, 'k') + "=v\n" + std::string(50, 'j') + "=v\nnoequals\n" +
                               ManyEntries(1, 97) + "over=1\nk1=again\n");
    EXPECT_TRUE(scan.Lines()[0].keyCut);
    EXPECT_FALSE(scan.Lines()[1].keyCut);
    EXPECT_FALSE(scan.Lines()[2].hasEquals);
    EXPECT_EQ(scan.Store().size(), 100u);
    EXPECT_EQ(scan.Lines()[scan.Lines().size() - 2].outcome, DescriptorScan::Outcome::Dropped);
    EXPECT_EQ(scan.Lines().back().outcome, DescriptorScan::Outcome::Dropped);
    EXPECT_EQ(scan.Value("k1"), "v");
}

TEST(NumberedKey, WritesAtLeastTwoDigits)
{
    EXPECT_EQ(NumberedKey("music.file.", 1), "music.file.01");
    EXPECT_EQ(NumberedKey("music.file.", 12), "music.file.12");
    EXPECT_EQ(NumberedKey("music.file.", 100), "music.file.100");
}

}  // namespace
