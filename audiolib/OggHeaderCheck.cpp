#include "audiolib/OggHeaderCheck.h"

#include <cstring>
#include <vector>

namespace audio {

namespace {

constexpr size_t kPageHeader = 27;
// A comment header is a few kilobytes at most in practice; this is far beyond any real one.
constexpr size_t kMaxCommentPacket = 16u << 20;

uint32_t Le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// The second packet of the stream, joined across pages; false when the file ends before it does.
bool SecondPacket(const uint8_t *bytes, size_t size, std::vector<uint8_t> *packet) {
  size_t offset = 0;
  int packets = 0;
  while (offset + kPageHeader <= size) {
    if (std::memcmp(bytes + offset, "OggS", 4) != 0) return false;
    size_t segments = bytes[offset + 26];
    if (offset + kPageHeader + segments > size) return false;
    const uint8_t *table = bytes + offset + kPageHeader;
    size_t data = offset + kPageHeader + segments;
    for (size_t s = 0; s < segments; ++s) {
      size_t length = table[s];
      if (data + length > size) return false;
      if (packets == 1) {
        packet->insert(packet->end(), bytes + data, bytes + data + length);
        if (packet->size() > kMaxCommentPacket) return false;
      }
      data += length;
      if (length < 255 && ++packets == 2) return true;
    }
    offset = data;
  }
  return false;
}

}  // namespace

bool VorbisCommentsFit(const uint8_t *bytes, size_t size) {
  std::vector<uint8_t> packet;
  if (!SecondPacket(bytes, size, &packet)) return false;
  // Type 3, "vorbis", vendor length and text, comment count, each comment's length and text.
  size_t at = 7;
  if (packet.size() < at + 4 || packet[0] != 3 || std::memcmp(packet.data() + 1, "vorbis", 6) != 0) return false;
  uint32_t vendor = Le32(packet.data() + at);
  at += 4;
  if (vendor > packet.size() - at) return false;
  at += vendor;
  if (packet.size() - at < 4) return false;
  uint32_t count = Le32(packet.data() + at);
  at += 4;
  if (count > (packet.size() - at) / 4) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (packet.size() - at < 4) return false;
    uint32_t length = Le32(packet.data() + at);
    at += 4;
    if (length > packet.size() - at) return false;
    at += length;
  }
  return true;
}

uint64_t OggPacketsAtMost(const uint8_t *bytes, size_t size) {
  uint64_t packets = 0;
  size_t offset = 0;
  while (offset + kPageHeader <= size) {
    if (std::memcmp(bytes + offset, "OggS", 4) != 0) {
      ++offset;
      continue;
    }
    size_t segments = bytes[offset + 26];
    size_t body = offset + kPageHeader + segments;
    if (body > size) break;
    size_t length = 0;
    for (size_t s = 0; s < segments; ++s) {
      uint8_t lacing = bytes[offset + kPageHeader + s];
      length += lacing;
      if (lacing < 255) ++packets;
    }
    // A page whose body runs past the end still counts: it is the most a decoder could get.
    offset = body + length <= size ? body + length : offset + 1;
  }
  return packets;
}

}  // namespace audio
