#pragma once

#include <cstddef>

// The kind of a picture file, told by its first bytes. Only BMP, GIF and JPEG are handed to the
// system's picture decoder: it also parses metafiles (programs of drawing records) and icons,
// parsers with a history of remote code execution, and no skin needs them, so every other file is
// an unreadable picture. Window-free, so the disk checker can name what a picture is.
class PictureFormat {
public:
    enum Kind { Unknown, Bmp, Gif, Jpeg, Png, Icon, Metafile, EnhancedMetafile };

    static Kind Detect(const unsigned char* bytes, size_t size);
    // True for the kinds the player decodes: BMP, GIF and JPEG.
    static bool Decoded(Kind kind);
    // "BMP", "GIF", "JPEG", "PNG", "icon", "Windows metafile", "enhanced metafile" or "unknown".
    static const char* Name(Kind kind);
};
