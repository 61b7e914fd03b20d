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

    // A picture of a few KB can claim 8000 by 8000 pixels (a run-length bitmap, a JPEG, a GIF
    // frame) and make the decoder allocate hundreds of MB. No window is larger than a 4K screen, so
    // a picture is decoded only when its header says at most MaxSide pixels a side and MaxPixels in
    // all (a 3840 by 2160 picture is 8,294,400).
    static constexpr long MaxSide = 4096;
    // A skin picture is the size of a window: a 1920 by 1080 bitmap of 32 bits takes 8 MB. A
    // larger file is not read, so no look of a disk can make the player read and decode hundreds
    // of MB.
    static constexpr unsigned long MaxFileBytes = 8ul << 20;
    static constexpr long MaxPixels = 1L << 23;
    // The width and height a BMP, GIF (its largest frame or screen) or JPEG header gives; false
    // when the header is cut or gives none.
    static bool Size(const unsigned char* bytes, size_t size, long* width, long* height);
    // Decoded(Detect()) and a Size within the bounds above.
    static bool Decodable(const unsigned char* bytes, size_t size);
};
