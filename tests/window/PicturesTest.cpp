#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/window/TestSupport.h"
#include "window/ComApartment.h"
#include "window/GdiCounts.h"
#include "window/SkinImage.h"

namespace {

const unsigned red = 0xFF0000, blue = 0x0000FF, green = 0x00FF00, white = 0xFFFFFF;

// 8 x 4: columns 0-3 red, 4-7 blue, and a green pixel at (1, 2).
std::vector<unsigned> Sample()
{
    std::vector<unsigned> pixels(32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            pixels[y * 8 + x] = x < 4 ? red : blue;
    pixels[2 * 8 + 1] = green;
    return pixels;
}

bool Near(unsigned a, unsigned b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance)
            return false;
    }
    return true;
}

TEST(SkinImage, MoveAndAssignRules)
{
    long before = LiveGdiObjects(GdiKind::Bitmap);
    HBITMAP first = MakeBitmap(2, 2, {});
    HBITMAP second = MakeBitmap(3, 3, {});
    {
        SkinImage a(first);
        EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), before + 1);
        SkinImage b(std::move(a));
        EXPECT_EQ(a.Handle(), nullptr);
        EXPECT_EQ(b.Handle(), first);

        SkinImage c(second);
        c = std::move(b);  // different handles: c's own bitmap goes
        EXPECT_EQ(c.Handle(), first);
        EXPECT_EQ(b.Handle(), nullptr);
        EXPECT_EQ(GetObjectType(second), 0u);
        EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), before + 1);

        SkinImage& same = c;
        c = std::move(same);  // equal handles: nothing happens
        EXPECT_EQ(c.Handle(), first);
        EXPECT_NE(GetObjectType(first), 0u);

        c.Attach(first);  // the same handle again: kept, not deleted
        EXPECT_NE(GetObjectType(first), 0u);
        EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), before + 1);
    }
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), before);
}

TEST(SkinImage, AttachReplacesADifferentBitmap)
{
    HBITMAP first = MakeBitmap(2, 2, {});
    HBITMAP second = MakeBitmap(5, 4, {});
    SkinImage image;
    int width = -1, height = -1;
    image.GetSize(&width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    image.Attach(first);
    image.Attach(second);
    EXPECT_EQ(GetObjectType(first), 0u);
    image.GetSize(&width, &height);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 4);
}

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override { WriteBmp(folder.File("sample.bmp"), 8, 4, Sample()); }
    ScratchFolder folder{"pictures_test"};
    MessageBoxRecorder boxes;
};

TEST_F(PictureFiles, DecodedPicturesHoldTheirPixels)
{
    // sample.gif and sample.jpg are made at build time with the same pixels (the JPEG at 16 x 8,
    // each pixel doubled, so its colours stay clean away from the edges).
    struct Case {
        std::string path;
        int scale;
        int tolerance;
    } cases[] = {{folder.File("sample.bmp"), 1, 0}, {"sample.gif", 1, 0}, {"sample.jpg", 2, 24}};
    // Decoded alike with no COM apartment and inside the one the program keeps open.
    for (int pass = 0; pass < 6; ++pass) {
        const Case& c = cases[pass % 3];
        std::optional<ComApartment> com;
        if (pass >= 3)
            com.emplace();
        SCOPED_TRACE(c.path + (com ? " in an apartment" : ""));
        if (com) {
            ASSERT_TRUE(com->Open());
        }
        SkinImage image = LoadPicture(c.path.c_str());
        ASSERT_FALSE(image.Empty());
        int width = 0, height = 0;
        image.GetSize(&width, &height);
        EXPECT_EQ(width, 8 * c.scale);
        EXPECT_EQ(height, 4 * c.scale);
        if (c.scale == 1) {
            std::vector<unsigned> expected = Sample();
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 8; ++x)
                    EXPECT_EQ(PixelOf(image.Handle(), x, y), expected[y * 8 + x]) << x << "," << y;
        } else {
            EXPECT_TRUE(Near(PixelOf(image.Handle(), 1, 1), red, c.tolerance));
            EXPECT_TRUE(Near(PixelOf(image.Handle(), 14, 6), blue, c.tolerance));
            EXPECT_TRUE(Near(PixelOf(image.Handle(), 6, 1), red, c.tolerance));
        }
    }
    EXPECT_TRUE(boxes.Texts().empty());
    // The last apartment is closed again: the thread can open a fresh one.
    HRESULT fresh = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(fresh, S_OK);
    if (SUCCEEDED(fresh))
        CoUninitialize();
}

TEST_F(PictureFiles, MissingFileShowsOneBoxAndGivesEmpty)
{
    std::string path = folder.File("absent.bmp");
    SkinImage image = LoadPicture(path.c_str());
    EXPECT_TRUE(image.Empty());
    ASSERT_EQ(MessageBoxRecorder::Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxRecorder::Boxes()[0].text, "Could not load the file: " + path);
    EXPECT_EQ(MessageBoxRecorder::Boxes()[0].caption, "Error");
    EXPECT_EQ(MessageBoxRecorder::Boxes()[0].type, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(PictureFiles, UndecodableFilesGiveEmptyWithoutABox)
{
    long before = LiveGdiObjects(GdiKind::Bitmap);
    std::string header = "BM";
    header += std::string(52, '\xFF');  // a bitmap header claiming an absurd size
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {{"text.bmp", "this is not a picture\r\n"},
                 {"empty.bmp", ""},
                 {"huge.bmp", header},
                 {"cut.gif", std::string("GIF89a\x08\x00\x04", 9)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(folder.File(c.name), c.bytes);
        EXPECT_TRUE(LoadPicture(folder.File(c.name).c_str()).Empty());
    }
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), before);
}

TEST_F(PictureFiles, FilesAbove8MBAreNotRead)
{
    // 1672 rows of 5016 bytes and the 54-byte header fill 8 MB but for 1802 bytes; a row more is beyond.
    struct Case {
        int height;
        bool decoded;
    } cases[] = {{1672, true}, {1673, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        std::string path = folder.File("large.bmp");
        ASSERT_TRUE(WriteBmp(path, 1672, c.height, std::vector<unsigned>(1672u * c.height, green)));
        EXPECT_EQ(LoadPicture(path.c_str()).Empty(), !c.decoded);
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

// A run-length bitmap of 8 bits whose pixels are all one run-less end: a few KB whatever its sides.
std::string RunLengthBmp(int width, int height)
{
    std::string bytes(14 + 40 + 1024, '\0');
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<unsigned>(bytes.size() + 2));
    put32(10, 14 + 40 + 1024);
    put32(14, 40);
    put32(18, static_cast<unsigned>(width));
    put32(22, static_cast<unsigned>(height));
    bytes[26] = 1;
    bytes[28] = 8;
    put32(30, 1);  // BI_RLE8
    put32(34, 2);  // the size of the pixel data
    put32(46, 256);
    return bytes + std::string("\0\1", 2);  // end of the bitmap
}

TEST_F(PictureFiles, PicturesLargerThanAnyWindowAreNotDecoded)
{
    // 8000 by 8000 pixels in 1080 bytes: decoded, 256 MB of bitmap and as much again for our copy.
    const struct {
        int width, height;
        bool decoded;
    } cases[] = {{64, 48, true}, {8000, 8000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const std::string path = folder.File("runs.bmp");
        WriteText(path, RunLengthBmp(c.width, c.height));
        EXPECT_EQ(LoadPicture(path.c_str()).Empty(), !c.decoded);
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(PictureFiles, OnlyBmpGifAndJpegAreDecoded)
{
    // A Windows metafile (its header, then its end record) and an enhanced metafile (its header
    // and end record): both are programs of drawing records the decoder would run.
    const unsigned short metafileWords[] = {1, 9, 0x300, 12, 0, 0, 3, 0, 0, 3, 0, 0};
    std::string metafile(reinterpret_cast<const char*>(metafileWords), sizeof metafileWords);
    const unsigned header[] = {1, 88, 0, 0, 8, 8, 0, 0, 254, 254, 0x464D4520, 0x10000, 108, 2};
    const unsigned end[] = {14, 20, 0, 16, 20};
    std::string enhanced(reinterpret_cast<const char*>(header), sizeof header);
    enhanced.resize(88, '\0');
    enhanced.append(reinterpret_cast<const char*>(end), sizeof end);
    WriteText(folder.File("drawing.wmf"), metafile);
    WriteText(folder.File("drawing.emf"), enhanced);
    long before = LiveGdiObjects(GdiKind::Bitmap);
    // sample.png and sample.ico are made at build time with the pixels of the other samples.
    for (std::string path : {std::string("sample.png"), std::string("sample.ico"),
                             folder.File("drawing.wmf"), folder.File("drawing.emf")}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(LoadPicture(path.c_str()).Empty());
    }
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), before);
}

TEST_F(PictureFiles, PathsTheDiskMayNotNameAreMissingFiles)
{
    // The sample itself, reached by climbing out of the current folder and back in.
    std::string climbing = "x\\..\\..\\" + CurrentFolderName() + "\\" + folder.File("sample.bmp");
    for (std::string path : {climbing, folder.File("CON"), folder.File("sample.bmp:stream")}) {
        SCOPED_TRACE(path);
        MessageBoxRecorder::Boxes().clear();
        EXPECT_TRUE(LoadPicture(path.c_str()).Empty());
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Could not load the file: " + path});
    }
}

TEST_F(PictureFiles, LoadBitmapFileReadsOnlyBitmapsAndShowsNothing)
{
    SkinImage image;
    EXPECT_TRUE(image.LoadBitmapFile(folder.File("sample.bmp").c_str()));
    EXPECT_EQ(PixelOf(image.Handle(), 1, 2), green);
    EXPECT_FALSE(image.LoadBitmapFile(folder.File("absent.bmp").c_str()));
    EXPECT_TRUE(image.Empty());
    EXPECT_FALSE(image.LoadBitmapFile("sample.gif"));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST(CutImage, PiecesHoldTheRectangle)
{
    SkinImage source(MakeBitmap(8, 4, Sample()));
    struct Case {
        int x, y, width, height;
    } cases[] = {{0, 0, 8, 4}, {1, 2, 3, 2}, {3, 0, 2, 4}, {7, 3, 1, 1}};
    std::vector<unsigned> expected = Sample();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        SkinImage piece;
        piece.Attach(CutImage(source.Handle(), c.x, c.y, c.width, c.height));
        int width = 0, height = 0;
        piece.GetSize(&width, &height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                EXPECT_EQ(PixelOf(piece.Handle(), x, y), expected[(c.y + y) * 8 + c.x + x]);
    }
}

TEST(CutImage, EmptySourceOrSizeGivesNothing)
{
    EXPECT_EQ(CutImage(nullptr, 0, 0, 4, 4), nullptr);
    SkinImage source(MakeBitmap(8, 4, Sample()));
    EXPECT_EQ(CutImage(source.Handle(), 0, 0, 0, 4), nullptr);
    EXPECT_EQ(CutImage(source.Handle(), 0, 0, 4, -1), nullptr);
    // Outside the source: a piece of the asked size, whatever its pixels.
    SkinImage outside;
    outside.Attach(CutImage(source.Handle(), 100, 100, 3, 2));
    int width = 0, height = 0;
    outside.GetSize(&width, &height);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
}

TEST(DrawImage, DrawsWholeAndOpaqueAtThePosition)
{
    SkinImage target(MakeBitmap(12, 8, std::vector<unsigned>(96, white)));
    SkinImage image(MakeBitmap(8, 4, Sample()));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, target.Handle());
    DrawImageAt(dc, image, 3, 2);
    DrawImage(dc, SkinImage());  // empty: nothing drawn
    SelectObject(dc, previous);
    EXPECT_EQ(PixelOf(target.Handle(), 2, 2), white);
    EXPECT_EQ(PixelOf(target.Handle(), 3, 2), red);
    EXPECT_EQ(PixelOf(target.Handle(), 4, 4), green);
    EXPECT_EQ(PixelOf(target.Handle(), 10, 5), blue);
    EXPECT_EQ(PixelOf(target.Handle(), 11, 5), white);
    EXPECT_EQ(PixelOf(target.Handle(), 5, 6), white);
    EXPECT_EQ(PixelOf(target.Handle(), 0, 0), white);

    previous = SelectObject(dc, target.Handle());
    DrawImage(dc, image);
    SelectObject(dc, previous);
    DeleteDC(dc);
    EXPECT_EQ(PixelOf(target.Handle(), 0, 0), red);
    EXPECT_EQ(PixelOf(target.Handle(), 1, 2), green);
}

}  // namespace
