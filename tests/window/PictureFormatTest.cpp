// Which picture files reach the decoder, told by their first bytes. Window-free.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
