// Which picture files reach the decoder, told by their first bytes. Window-free.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "window/PictureFormat.h"

namespace {

// An enhanced metafile's header record: type 1, then " EMF" at byte 40.
std::string EnhancedMetafileStart()
{
    std::string bytes("\x01\x00\x00\x00\x6C\x00\x00\x00", 8);
    bytes.resize(40, '\0');
    return bytes + " EMF" + std::string("\x00\x00\x01\x00", 4);
}

TEST(PictureFormat, OnlyBmpGifAndJpegAreDecoded)
{
    using K = PictureFormat;
    const struct {
        const char* what;
        std::string bytes;
        PictureFormat::Kind kind;
    } cases[] = {
        // The first bytes of files ImageMagick makes.
        {"BMP", std::string("BM\x9A\x00\x00\x00\x00\x00\x00\x00\x8A\x00\x00\x00", 14), K::Bmp},
        {"GIF89a", std::string("GIF89a\x02\x00\x02\x00\xF0\x00", 12), K::Gif},
        {"GIF87a", "GIF87a", K::Gif},
        {"JPEG", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11), K::Jpeg},
        {"PNG", std::string("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR", 16), K::Png},
        {"icon", std::string("\x00\x00\x01\x00\x01\x00\x10\x10", 8), K::Icon},
        {"cursor", std::string("\x00\x00\x02\x00\x01\x00", 6), K::Icon},
        {"placeable metafile", std::string("\xD7\xCD\xC6\x9A\x00\x00", 6), K::Metafile},
        {"metafile", std::string("\x01\x00\x09\x00\x00\x03", 6), K::Metafile},
        {"metafile on disk", std::string("\x02\x00\x09\x00\x00\x03", 6), K::Metafile},
        {"enhanced metafile", EnhancedMetafileStart(), K::EnhancedMetafile},
        {"TIFF", std::string("II*\x00\x20\x00\x00\x00", 8), K::Unknown},
        {"text", "this is not a picture\r\n", K::Unknown},
        {"empty", "", K::Unknown},
        {"cut BMP signature", "B", K::Unknown},
        {"cut GIF signature", "GIF89", K::Unknown},
        {"cut JPEG signature", std::string("\xFF\xD8", 2), K::Unknown},
        {"enhanced metafile cut before its signature", EnhancedMetafileStart().substr(0, 43),
         K::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureFormat::Kind kind = PictureFormat::Detect(
            reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(kind, c.kind) << PictureFormat::Name(kind);
        EXPECT_EQ(PictureFormat::Decoded(kind), c.kind == K::Bmp || c.kind == K::Gif || c.kind == K::Jpeg);
    }
    EXPECT_EQ(PictureFormat::Detect(nullptr, 4), PictureFormat::Unknown);
}

std::string Le16(unsigned v)
{
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string Le32(long v)
{
    const unsigned long u = static_cast<unsigned long>(v);
    return Le16(u & 0xFFFF) + Le16((u >> 16) & 0xFFFF);
}

// A file header and an information header of `headerSize` bytes with the given sides.
std::string BmpStart(long width, long height, long headerSize = 40)
{
    std::string bytes = "BM" + Le32(0) + Le32(0) + Le32(54) + Le32(headerSize);
    if (headerSize == 12)
        return bytes + Le16(width) + Le16(height) + Le16(1) + Le16(24);
    return bytes + Le32(width) + Le32(height) + Le16(1) + Le16(8) + Le32(1);
}

// A logical screen with no colour table, then the given frames (image descriptors, each with an
// empty picture: code size, then no sub-blocks), after a comment extension.
std::string Gif(unsigned width, unsigned height, std::vector<std::pair<unsigned, unsigned>> frames)
{
    std::string bytes = "GIF89a" + Le16(width) + Le16(height) + std::string("\0\0\0", 3);
    bytes += std::string("\x21\xFE\x03" "abc\0", 7);
    for (const auto& frame : frames)
        bytes += "\x2C" + Le16(0) + Le16(0) + Le16(frame.first) + Le16(frame.second) + std::string("\0\x02\0", 3);
    return bytes + ";";
}

std::string Be16(unsigned v)
{
    return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}

// SOI, an APP0 segment, then a start-of-frame segment of the given kind and sides.
std::string Jpeg(unsigned width, unsigned height, unsigned char frame = 0xC0)
{
    std::string bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
    return bytes + "\xFF" + static_cast<char>(frame) + Be16(17) + "\x08" + Be16(height) + Be16(width) + std::string(12, '\x01');
}

TEST(PictureFormat, PicturesLargerThanAnyWindowAreNotDecoded)
{
    const struct {
        const char* what;
        std::string bytes;
        long width, height;  // 0: no size read
        bool decodable;
    } cases[] = {
        {"BMP 640x480", BmpStart(640, 480), 640, 480, true},
        {"BMP top-down", BmpStart(640, -480), 640, 480, true},
        {"BMP core header", BmpStart(300, 200, 12), 300, 200, true},
        {"BMP 3840x2160", BmpStart(3840, 2160), 3840, 2160, true},
        {"BMP 8000x8000 run-length", BmpStart(8000, 8000), 8000, 8000, false},
        {"BMP 4097 wide", BmpStart(4097, 10), 4097, 10, false},
        {"BMP 4096x4096", BmpStart(4096, 4096), 4096, 4096, false},
        {"BMP height of the smallest int", BmpStart(10, -0x7FFFFFFF - 1), 0, 0, false},
        {"BMP cut header", BmpStart(640, 480).substr(0, 24), 0, 0, false},
        {"GIF screen", Gif(200, 100, {{200, 100}}), 200, 100, true},
        {"GIF frame larger than its screen", Gif(10, 10, {{10, 10}, {9000, 9000}}), 9000, 9000, false},
        {"JPEG baseline", Jpeg(800, 600), 800, 600, true},
        {"JPEG progressive", Jpeg(800, 600, 0xC2), 800, 600, true},
        {"JPEG 9000x9000", Jpeg(9000, 9000), 9000, 9000, false},
        {"JPEG without a frame", Jpeg(800, 600).substr(0, 20) + "\xFF\xD9", 0, 0, false},
        {"JPEG cut in its frame", Jpeg(800, 600).substr(0, 26), 0, 0, false},
        {"PNG", std::string("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR", 16), 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
        long width = 0, height = 0;
        const bool sized = PictureFormat::Size(bytes, c.bytes.size(), &width, &height);
        EXPECT_EQ(sized, c.width != 0);
        if (sized) {
            EXPECT_EQ(width, c.width);
            EXPECT_EQ(height, c.height);
        }
        EXPECT_EQ(PictureFormat::Decodable(bytes, c.bytes.size()), c.decodable);
    }
}

}  // namespace
