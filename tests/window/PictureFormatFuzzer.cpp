// Any bytes as the start of a picture file: the signature check reads only what it is given, and
// hands to the decoder nothing but files that start as a BMP, GIF or JPEG does, of a size no window
// exceeds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "window/PictureFormat.h"

namespace {

bool StartsWith(const std::vector<unsigned char>& bytes, const char* signature, size_t length)
{
    return bytes.size() >= length && memcmp(bytes.data(), signature, length) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly the input, so a read past its end is caught.
    const std::vector<unsigned char> bytes(data, data + size);
    const PictureFormat::Kind kind = PictureFormat::Detect(bytes.data(), bytes.size());
    const bool decodable = StartsWith(bytes, "BM", 2) || StartsWith(bytes, "GIF87a", 6) ||
                           StartsWith(bytes, "GIF89a", 6) || StartsWith(bytes, "\xFF\xD8\xFF", 3);
    if (PictureFormat::Decoded(kind) != decodable || !PictureFormat::Name(kind)[0]) {
        fprintf(stderr, "picture format fuzzer: %s decoded %d, signature says %d\n",
                PictureFormat::Name(kind), PictureFormat::Decoded(kind), decodable);
        abort();
    }
    long width = 0, height = 0;
    const bool sized = PictureFormat::Size(bytes.data(), bytes.size(), &width, &height);
    if (PictureFormat::Decodable(bytes.data(), bytes.size()) &&
        (!decodable || !sized || width > PictureFormat::MaxSide || height > PictureFormat::MaxSide ||
         width * height > PictureFormat::MaxPixels)) {
        fprintf(stderr, "picture format fuzzer: %ld x %ld decodable\n", width, height);
        abort();
    }
    return 0;
}
