#pragma once
#include <cstddef>
#include <cstdint>

namespace audio {

// True when the Vorbis comment header (the stream's second packet) holds what its counts promise:
// a vendor text and every comment within the packet. stb_vorbis trusts those counts: a count that
// cannot be allocated, or a packet that ends early, makes it write before its buffer or read
// through a null list while cleaning up. Streams that fail this check are refused before it runs.
bool VorbisCommentsFit(const uint8_t *bytes, size_t size);

// How many packets end in the pages found in the bytes: every "OggS" whose header fits is read as a
// page, damaged or not, so a decoder that skips damage and finds pages further on finds no more.
// Each Vorbis packet decodes to at most half the long block, which bounds a stream's length
// whatever its last page's granule position claims.
uint64_t OggPacketsAtMost(const uint8_t *bytes, size_t size);

}  // namespace audio
