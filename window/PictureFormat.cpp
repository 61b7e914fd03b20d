#include "window/PictureFormat.h"

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
