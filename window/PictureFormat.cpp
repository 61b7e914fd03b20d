#include "window/PictureFormat.h"

#include <cstdint>
#include <cstring>

namespace {

struct Signature {
    PictureFormat::Kind kind;
    size_t offset;
    const char* bytes;
    size_t length;
};

// Checked in order; a file matches the first signature it starts with.
const Signature signatures[] = {
    {PictureFormat::Bmp, 0, "BM", 2},
    {PictureFormat::Gif, 0, "GIF87a", 6},
    {PictureFormat::Gif, 0, "GIF89a", 6},
    {PictureFormat::Jpeg, 0, "\xFF\xD8\xFF", 3},
    {PictureFormat::Png, 0, "\x89PNG\r\n\x1A\n", 8},
    {PictureFormat::Icon, 0, "\0\0\1\0", 4},  // icon
    {PictureFormat::Icon, 0, "\0\0\2\0", 4},  // cursor
    {PictureFormat::Metafile, 0, "\xD7\xCD\xC6\x9A", 4},  // placeable metafile
    {PictureFormat::Metafile, 0, "\1\0\x09\0", 4},  // metafile in memory, header of 9 words
    {PictureFormat::Metafile, 0, "\2\0\x09\0", 4},  // metafile on disk
    {PictureFormat::EnhancedMetafile, 40, " EMF", 4},
};

unsigned Little16(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

unsigned Big16(const unsigned char* p)
{
    return (p[0] << 8) | p[1];
}

long Little32(const unsigned char* p)
{
    return static_cast<long>(static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24)));
}

bool BmpSize(const unsigned char* bytes, size_t size, long* width, long* height)
{
    if (size < 26)
        return false;
    // A core header (12 bytes) has 16-bit sides; every later one 32-bit sides, the height
    // negative for a top-down picture.
    if (Little32(bytes + 14) == 12) {
        *width = Little16(bytes + 18);
        *height = Little16(bytes + 20);
        return true;
    }
    const long w = Little32(bytes + 18);
    const long h = Little32(bytes + 22);
    if (w <= 0 || h == 0 || h < -0x7FFFFFFFL)
        return false;
    *width = w;
    *height = h < 0 ? -h : h;
    return true;
}

// The logical screen and every frame: a decoder makes room for the largest.
bool GifSize(const unsigned char* bytes, size_t size, long* width, long* height)
{
    if (size < 13)
        return false;
    unsigned w = Little16(bytes + 6);
    unsigned h = Little16(bytes + 8);
    size_t at = 13;
    if (bytes[10] & 0x80)
        at += 3u << ((bytes[10] & 7) + 1);
    // Sub-blocks, each its length byte and that many bytes, up to a zero length.
    auto skipBlocks = [&](size_t from) -> size_t {
        while (from < size && bytes[from] != 0)
            from += 1u + bytes[from];
        return from + 1;
    };
    while (at < size) {
        if (bytes[at] == 0x21) {
            at = skipBlocks(at + 2);
        } else if (bytes[at] == 0x2C) {
            if (at + 10 > size)
                break;
            w = w > Little16(bytes + at + 5) ? w : Little16(bytes + at + 5);
            h = h > Little16(bytes + at + 7) ? h : Little16(bytes + at + 7);
            const unsigned char flags = bytes[at + 9];
            at += 10;
            if (flags & 0x80)
                at += 3u << ((flags & 7) + 1);
            at = skipBlocks(at + 1);
        } else {
            break;
        }
    }
    *width = w;
    *height = h;
    return true;
}

// The first start-of-frame segment's sides.
bool JpegSize(const unsigned char* bytes, size_t size, long* width, long* height)
{
    size_t at = 2;
    while (at + 4 <= size) {
        if (bytes[at] != 0xFF)
            return false;
        const unsigned char marker = bytes[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > size)
                return false;
            *height = Big16(bytes + at + 5);
            *width = Big16(bytes + at + 7);
            return true;
        }
        at += 2 + Big16(bytes + at + 2);
    }
    return false;
}

}  // namespace

PictureFormat::Kind PictureFormat::Detect(const unsigned char* bytes, size_t size)
{
    if (!bytes)
        return Unknown;
    for (const Signature& s : signatures)
        if (size >= s.offset + s.length && memcmp(bytes + s.offset, s.bytes, s.length) == 0)
            return s.kind;
    return Unknown;
}

bool PictureFormat::Decoded(Kind kind)
{
    return kind == Bmp || kind == Gif || kind == Jpeg;
}

bool PictureFormat::Size(const unsigned char* bytes, size_t size, long* width, long* height)
{
    switch (Detect(bytes, size)) {
    case Bmp: return BmpSize(bytes, size, width, height);
    case Gif: return GifSize(bytes, size, width, height);
    case Jpeg: return JpegSize(bytes, size, width, height);
    default: return false;
    }
}

bool PictureFormat::Decodable(const unsigned char* bytes, size_t size)
{
    long width = 0;
    long height = 0;
    return Decoded(Detect(bytes, size)) && Size(bytes, size, &width, &height) && width <= MaxSide &&
           height <= MaxSide && width * height <= MaxPixels;
}

const char* PictureFormat::Name(Kind kind)
{
    switch (kind) {
    case Bmp: return "BMP";
    case Gif: return "GIF";
    case Jpeg: return "JPEG";
    case Png: return "PNG";
    case Icon: return "icon";
    case Metafile: return "Windows metafile";
    case EnhancedMetafile: return "enhanced metafile";
    default: return "unknown";
    }
}
