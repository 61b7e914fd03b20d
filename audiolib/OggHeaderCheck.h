#pragma once
#include <cstddef>
#include <cstdint>

namespace audio {

// True when the Vorbis comment header (the stream's second packet) holds what its counts promise:
// a vendor text and every comment within the packet. stb_vorbis trusts those counts: a count that
// cannot be allocated, or a packet that ends early, makes it write before its buffer or read
// through a null list while cleaning up. Streams that fail this check are refused before it runs.
bool VorbisCommentsFit(const uint8_t *bytes, size_t size);

}  // namespace audio
