#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/window/TestSupport.h"
#include "window/GdiCounts.h"
#include "window/RegionFromMask.h"
#include "window/SkinImage.h"

namespace {

const unsigned white = 0xFFFFFF, black = 0x000000;

// The region a test got from RegionFromMask, released like its callers' windows would.
struct Region {
    explicit Region(HRGN handle) : handle(handle) {}
    ~Region()
    {
        if (handle) {
            DeleteObject(handle);
            CountGdiObject(GdiKind::Region, -1);
        }
    }
    HRGN handle;
};

HRGN Rects(const std::vector<RECT>& rects)
{
    HRGN all = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : rects) {
        HRGN one = CreateRectRgnIndirect(&r);
        CombineRgn(all, all, one, RGN_OR);
        DeleteObject(one);
    }
    return all;
}

bool SameRegion(HRGN a, const std::vector<RECT>& rects)
{
    HRGN expected = Rects(rects);
    bool same = EqualRgn(a, expected) != 0;
    DeleteObject(expected);
    return same;
}

// A mask from rows of characters: '#' non-white, '.' white, '~' near white (254, 255, 255).
SkinImage Mask(const std::vector<const char*>& rows)
{
    int height = static_cast<int>(rows.size());
    int width = static_cast<int>(strlen(rows[0]));
    std::vector<unsigned> pixels;
    for (const char* row : rows)
        for (int x = 0; x < width; ++x)
            pixels.push_back(row[x] == '.' ? white : row[x] == '~' ? 0xFEFFFF : black);
    return SkinImage(MakeBitmap(width, height, pixels));
}

TEST(RegionFromMask, PatternsGiveTheirRowRuns)
{
    struct Case {
        const char* name;
        std::vector<const char*> rows;
        std::vector<RECT> expected;
        int rectangles;
    } cases[] = {
        {"no white", {"#####", "#####", "#####"}, {{0, 0, 5, 3}}, 3},
        {"alternating", {".#.#.#."}, {{1, 0, 2, 1}, {3, 0, 4, 1}, {5, 0, 6, 1}}, 3},
        {"run to the right edge", {"..###"}, {{2, 0, 5, 1}}, 1},
        {"near white kept", {"~.~"}, {{0, 0, 1, 1}, {2, 0, 3, 1}}, 2},
        {"top row only", {"####", "....", "...."}, {{0, 0, 4, 1}}, 1},
        {"shape", {".##.", "####", ".##."}, {{1, 0, 3, 1}, {0, 1, 4, 2}, {1, 2, 3, 3}}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SkinImage mask = Mask(c.rows);
        RegionBuild build;
        Region region(RegionFromMask(mask.Handle(), 0x00FFFFFF, 0, &build));
        ASSERT_NE(region.handle, nullptr);
        EXPECT_TRUE(SameRegion(region.handle, c.expected));
        EXPECT_EQ(build.rectangles, c.rectangles);
        EXPECT_EQ(build.batches, 1);
        EXPECT_EQ(build.capacity, 100);
    }
}

TEST(RegionFromMask, AllWhiteGivesAnEmptyRegionNotNull)
{
    SkinImage mask = Mask({"....", "...."});
    RegionBuild build;
    Region region(RegionFromMask(mask.Handle(), 0x00FFFFFF, 0, &build));
    ASSERT_NE(region.handle, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(region.handle, &box), NULLREGION);
    EXPECT_EQ(build.rectangles, 0);
    EXPECT_EQ(build.batches, 1);
}

TEST(RegionFromMask, NullMaskGivesNull)
{
    EXPECT_EQ(RegionFromMask(nullptr, 0x00FFFFFF, 0), nullptr);
}

TEST(RegionFromMask, KeyBytesFollowMemoryOrderAndToleranceWidensUpwards)
{
    // Stored bytes are blue, green, red: key 0x0000FF names pure blue (0x0000FF as RRGGBB).
    SkinImage mask(MakeBitmap(4, 1, {0x0000FF, 0xFF0000, 0x0000FD, 0x0000FB}));
    {
        Region region(RegionFromMask(mask.Handle(), 0x000000FF, 0));
        EXPECT_TRUE(SameRegion(region.handle, {{1, 0, 4, 1}}));
    }
    {
        // Key 0xFD with tolerance 2 cuts blue bytes 0xFD..0xFF; the top bytes are ignored.
        Region region(RegionFromMask(mask.Handle(), 0xAB0000FD, 0xCD000002));
        EXPECT_TRUE(SameRegion(region.handle, {{1, 0, 2, 1}, {3, 0, 4, 1}}));
    }
}

TEST(RegionFromMask, OtherPixelFormatsAreConverted)
{
    // A monochrome mask: set bits are white.
    const BYTE rows[4] = {0x0F, 0x00, 0xF0, 0x00};  // word-aligned rows, 8 pixels used
    HBITMAP mono = CreateBitmap(8, 2, 1, 1, rows);
    SkinImage mask(mono);
    Region region(RegionFromMask(mask.Handle(), 0x00FFFFFF, 0));
    EXPECT_TRUE(SameRegion(region.handle, {{0, 0, 4, 1}, {4, 1, 8, 2}}));
}

// A mask 2 pixels wide with one run per row: [black, white].
SkinImage RunsPerRow(int rows)
{
    std::vector<unsigned> pixels;
    for (int y = 0; y < rows; ++y) {
        pixels.push_back(black);
        pixels.push_back(white);
    }
    return SkinImage(MakeBitmap(2, rows, pixels));
}

TEST(RegionFromMask, BatchesAndGrowth)
{
    struct Case {
        int rows;
        int batches;
        int capacity;
    } cases[] = {{100, 1, 100}, {101, 1, 200}, {1999, 1, 2000}, {2000, 2, 2000},
                 {2001, 2, 2000}, {4500, 3, 2000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        SkinImage mask = RunsPerRow(c.rows);
        RegionBuild build;
        Region region(RegionFromMask(mask.Handle(), 0x00FFFFFF, 0, &build));
        ASSERT_NE(region.handle, nullptr);
        EXPECT_EQ(build.rectangles, c.rows);
        EXPECT_EQ(build.batches, c.batches);
        EXPECT_EQ(build.capacity, c.capacity);
        EXPECT_TRUE(SameRegion(region.handle, {{0, 0, 1, c.rows}}));
    }
}

HGLOBAL WINAPI FailingGrow(HGLOBAL, SIZE_T, UINT)
{
    return nullptr;
}

TEST(RegionFromMask, FailedGrowthReturnsWhatWasGathered)
{
    long before = LiveGdiObjects(GdiKind::Region);
    SkinImage mask = RunsPerRow(250);
    RegionBuild build;
    build.grow = FailingGrow;
    {
        Region region(RegionFromMask(mask.Handle(), 0x00FFFFFF, 0, &build));
        ASSERT_NE(region.handle, nullptr);
        EXPECT_TRUE(build.growthFailed);
        EXPECT_EQ(build.rectangles, 100);
        EXPECT_TRUE(SameRegion(region.handle, {{0, 0, 1, 100}}));
        EXPECT_EQ(LiveGdiObjects(GdiKind::Region), before + 1);
    }
    EXPECT_EQ(LiveGdiObjects(GdiKind::Region), before);
}

TEST(RegionFromMask, MaskIsUnchangedAndStillOwned)
{
    SkinImage mask = Mask({"#.#", "..#"});
    Region region(RegionFromMask(mask.Handle(), 0x00FFFFFF, 0));
    EXPECT_EQ(PixelOf(mask.Handle(), 0, 0), black);
    EXPECT_EQ(PixelOf(mask.Handle(), 1, 0), white);
    EXPECT_EQ(PixelOf(mask.Handle(), 2, 1), black);
}

TEST(ShapeWindowFromMask, WindowTakesTheRegion)
{
    long before = LiveGdiObjects(GdiKind::Region);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 3, 3, nullptr, nullptr,
                                  TestInstance(), nullptr);
    SkinImage mask = Mask({".#.", "###", ".#."});
    EXPECT_TRUE(ShapeWindowFromMask(window, mask.Handle()));
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, shape), COMPLEXREGION);
    EXPECT_TRUE(SameRegion(shape, {{1, 0, 2, 3}, {0, 1, 3, 2}}));
    DeleteObject(shape);
    EXPECT_FALSE(ShapeWindowFromMask(window, nullptr));
    // No window to take it: the region is deleted, not leaked.
    EXPECT_FALSE(ShapeWindowFromMask(nullptr, mask.Handle()));
    EXPECT_EQ(LiveGdiObjects(GdiKind::Region), before);
    DestroyWindow(window);
}

}  // namespace
