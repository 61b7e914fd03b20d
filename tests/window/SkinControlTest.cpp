#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "controls/SkinControl.h"
#include "tests/window/TestSupport.h"
#include "window/GdiCounts.h"

namespace {

const unsigned white = 0xFFFFFF, red = 0xFF0000, blue = 0x0000FF;

class SkinControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parentWindow = parent.Create(0, "SkinControlTestParent", "", WS_POPUP, 0, 0, 100, 100,
                                     nullptr, nullptr, TestInstance());
        ASSERT_NE(parentWindow, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(parentWindow);
        PumpMessages();
    }
    Window parent;
    HWND parentWindow = nullptr;
};

SIZE ClientSize(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

TEST_F(SkinControlTest, CreateFromImagesTakesSizeAndShape)
{
    long bitmaps = LiveGdiObjects(GdiKind::Bitmap);
    HBITMAP imageHandle = MakeBitmap(6, 4, std::vector<unsigned>(24, red));
    std::vector<unsigned> maskPixels(24, 0);
    maskPixels[0] = white;  // top-left corner cut away
    HBITMAP maskHandle = MakeBitmap(6, 4, maskPixels);
    {
        SkinControl control;
        HWND window = control.CreateFromImages(0, "SKIN_CONTROL_A", "SKIN_CONTROL_A",
                                               WS_CHILD | WS_VISIBLE, 10, 20, parentWindow,
                                               TestInstance(), SkinImage(maskHandle),
                                               SkinImage(imageHandle));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(control.image.Handle(), imageHandle);
        EXPECT_EQ(control.mask.Handle(), maskHandle);
        EXPECT_EQ(control.imageWidth, 6);
        EXPECT_EQ(control.imageHeight, 4);
        SIZE size = ClientSize(window);
        EXPECT_EQ(size.cx, 6);
        EXPECT_EQ(size.cy, 4);
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(window, shape), ERROR);
        EXPECT_FALSE(PtInRegion(shape, 0, 0));
        EXPECT_TRUE(PtInRegion(shape, 1, 0));
        EXPECT_TRUE(PtInRegion(shape, 5, 3));
        DeleteObject(shape);

        SkinImage canvas(MakeBitmap(6, 4, std::vector<unsigned>(24, blue)));
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, canvas.Handle());
        control.OnPaint(dc);
        SelectObject(dc, previous);
        DeleteDC(dc);
        EXPECT_EQ(PixelOf(canvas.Handle(), 3, 2), red);
        DestroyWindow(window);
    }
    EXPECT_EQ(GetObjectType(imageHandle), 0u);
    EXPECT_EQ(GetObjectType(maskHandle), 0u);
    EXPECT_EQ(LiveGdiObjects(GdiKind::Bitmap), bitmaps);
}

TEST_F(SkinControlTest, EmptyImageGivesZeroSizeAndEmptyMaskNoShape)
{
    SkinControl control;
    HWND window = control.CreateFromImages(0, "SKIN_CONTROL_B", "SKIN_CONTROL_B",
                                           WS_CHILD | WS_VISIBLE, 0, 0, parentWindow,
                                           TestInstance(), SkinImage(), SkinImage());
    ASSERT_NE(window, nullptr);
    SIZE size = ClientSize(window);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, shape), ERROR);
    DeleteObject(shape);
    // Painting an empty image draws nothing.
    SkinImage canvas(MakeBitmap(2, 2, std::vector<unsigned>(4, blue)));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, canvas.Handle());
    control.OnPaint(dc);
    SelectObject(dc, previous);
    DeleteDC(dc);
    EXPECT_EQ(PixelOf(canvas.Handle(), 0, 0), blue);
}

TEST_F(SkinControlTest, CreateFromFilesLoadsBitmapsQuietly)
{
    ScratchFolder folder("control_files");
    WriteBmp(folder.File("image.bmp"), 5, 3, std::vector<unsigned>(15, red));
    std::vector<unsigned> maskPixels(15, 0);
    maskPixels[4] = white;
    WriteBmp(folder.File("mask.bmp"), 5, 3, maskPixels);
    MessageBoxRecorder boxes;
    SkinControl shaped;
    HWND window = shaped.CreateFromFiles(0, "SKIN_CONTROL_C", "c", WS_CHILD, 0, 0, parentWindow,
                                         TestInstance(), folder.File("mask.bmp").c_str(),
                                         folder.File("image.bmp").c_str());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ClientSize(window).cx, 5);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, shape), ERROR);
    EXPECT_FALSE(PtInRegion(shape, 4, 0));
    EXPECT_TRUE(PtInRegion(shape, 3, 0));
    DeleteObject(shape);

    SkinControl plain;
    HWND second = plain.CreateFromFiles(0, "SKIN_CONTROL_D", "d", WS_CHILD, 0, 0, parentWindow,
                                        TestInstance(), nullptr, folder.File("none.bmp").c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(plain.image.Empty());
    EXPECT_TRUE(plain.mask.Empty());
    EXPECT_TRUE(boxes.Texts().empty());
}

}  // namespace
