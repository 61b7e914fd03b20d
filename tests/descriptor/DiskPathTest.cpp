#include "descriptor/DiskPath.h"

#include <gtest/gtest.h>

namespace {

using Problem = DiskPath::Problem;

struct PathCase {
    const char* path;
    Problem expected;
};

class DiskPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(DiskPathTest, JudgesThePath)
{
    EXPECT_EQ(DiskPath::Check(GetParam().path), GetParam().expected) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Paths, DiskPathTest, testing::Values(
    PathCase{"music\\song.mod", Problem::None},
    PathCase{"music/song.mod", Problem::None},
    PathCase{"gui\\..\\music\\a.bmp", Problem::None},
    PathCase{".\\music\\.\\a.xm", Problem::None},
    PathCase{"music\\console.mod", Problem::None},
    PathCase{"music\\com10.mod", Problem::None},
    PathCase{"music\\nul_song.mod", Problem::None},
    PathCase{"music\\a..b.mod", Problem::None},
    PathCase{"", Problem::Empty},
    PathCase{nullptr, Problem::Empty},
    PathCase{"\\\\somehost\\share\\song.mod", Problem::Remote},
    PathCase{"//somehost/share/song.mod", Problem::Remote},
    PathCase{"\\/somehost/share", Problem::Remote},
    PathCase{"\\\\.\\PhysicalDrive0", Problem::DevicePath},
    PathCase{"\\\\?\\C:\\x.mod", Problem::DevicePath},
    PathCase{"//./pipe/x", Problem::DevicePath},
    PathCase{"CON", Problem::Device},
    PathCase{"music\\nul", Problem::Device},
    PathCase{"music\\Aux.mod", Problem::Device},
    PathCase{"music\\prn.", Problem::Device},
    PathCase{"music\\COM1 .mod", Problem::Device},
    PathCase{"music\\lpt9", Problem::Device},
    PathCase{"music\\COM\xB9.xm", Problem::Device},
    PathCase{"CONIN$", Problem::Device},
    PathCase{"conout$.txt", Problem::Device},
    PathCase{"nul\\song.mod", Problem::Device},
    PathCase{"music\\song.mod:hidden", Problem::Stream},
    PathCase{"C:\\x.mod:s", Problem::Stream},
    PathCase{"C:\\Windows\\win.ini", Problem::Absolute},
    PathCase{"c:song.mod", Problem::Absolute},
    PathCase{"\\music\\song.mod", Problem::Absolute},
    PathCase{"..\\song.mod", Problem::Climbs},
    PathCase{"music\\..\\..\\song.mod", Problem::Climbs},
    PathCase{"music\\...\\song.mod", Problem::Dots},
    PathCase{"music\\.. \\song.mod", Problem::Dots}));

}
