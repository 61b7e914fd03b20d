#include "audiolib/MpegHeader.h"

#include <cstring>
#include <vector>

namespace audio {

namespace {

constexpr int kMaxId3Tags = 8;  // tags stacked at the start, as some taggers leave them

// Kilobits per second by [MPEG-1?][layer - 1][index], index 1 to 14.
constexpr uint16_t kBitrates[2][3][15] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}};
constexpr uint32_t kRates[3] = {44100, 48000, 32000};

uint32_t Be32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}
uint32_t Le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool Same(const MpegHeader &a, const MpegHeader &b) {
  return a.version == b.version && a.layer == b.layer && a.rate == b.rate;
}

bool HeaderAt(Reader &reader, uint64_t offset, MpegHeader *header) {
  uint8_t bytes[4];
  return reader.ReadAt(offset, bytes, 4) == 4 && ParseMpegHeader(bytes, header);
}

// The end of the frames: the file's end less an ID3v1 tag, then less an APE tag before it.
uint64_t FramesEnd(Reader &reader, uint64_t begin) {
  uint64_t end = reader.Size();
  uint8_t tag[32];
  if (end - begin >= 128 && reader.ReadAt(end - 128, tag, 3) == 3 && std::memcmp(tag, "TAG", 3) == 0) end -= 128;
  if (end - begin >= 32 && reader.ReadAt(end - 32, tag, 32) == 32 && std::memcmp(tag, "APETAGEX", 8) == 0) {
    // The size counts the items and this footer; a header of 32 bytes may come before them.
    uint64_t size = Le32(tag + 12) + ((tag[23] & 0x80) ? 32u : 0u);
    end = size <= end - begin ? end - size : begin;
  }
  return end;
}

// Skips ID3v2 tags at `pos` (ten-byte header, "synchsafe" size, optional ten-byte footer).
uint64_t SkipId3v2(Reader &reader, uint64_t pos) {
  for (int n = 0; n < kMaxId3Tags; ++n) {
    uint8_t h[10];
    if (reader.ReadAt(pos, h, 10) != 10 || std::memcmp(h, "ID3", 3) != 0) break;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80) break;  // not synchsafe: not a tag
    uint64_t size = static_cast<uint64_t>(h[6]) << 21 | h[7] << 14 | h[8] << 7 | h[9];
    pos += 10 + size + ((h[5] & 0x10) ? 10 : 0);
  }
  return pos;
}

}  // namespace

bool ParseMpegHeader(const uint8_t *p, MpegHeader *header) {
  uint32_t h = Be32(p);
  if ((h & 0xFFE00000u) != 0xFFE00000u) return false;
  int versionBits = h >> 19 & 3, layerBits = h >> 17 & 3, bitrateIndex = h >> 12 & 15, rateIndex = h >> 10 & 3;
  if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  if ((h & 3) == 2) return false;  // reserved emphasis
  bool mpeg1 = versionBits == 3;
  MpegHeader out;
  out.version = mpeg1 ? 10 : versionBits == 2 ? 20 : 25;
  out.layer = 4 - layerBits;
  out.rate = kRates[rateIndex] >> (mpeg1 ? 0 : versionBits == 2 ? 1 : 2);
  uint32_t bitrate = kBitrates[mpeg1][out.layer - 1][bitrateIndex] * 1000u;
  uint32_t padding = h >> 9 & 1;
  if (out.layer == 1) {
    out.samples = 384;
    out.frameBytes = (12 * bitrate / out.rate + padding) * 4;
  } else {
    out.samples = out.layer == 3 && !mpeg1 ? 576 : 1152;
    out.frameBytes = out.samples / 8 * bitrate / out.rate + padding;
  }
  *header = out;
  return true;
}

bool FindMpegFrames(Reader &reader, uint64_t *begin, uint64_t *end) {
  uint64_t start = SkipId3v2(reader, 0);
  uint64_t stop = FramesEnd(reader, start);
  if (start >= stop) return false;
  uint64_t window = stop - start < kMaxMpegJunk + 4 ? stop - start : kMaxMpegJunk + 4;
  std::vector<uint8_t> bytes(static_cast<size_t>(window));
  size_t got = reader.ReadAt(start, bytes.data(), bytes.size());
  for (size_t i = 0; i + 4 <= got; ++i) {
    MpegHeader first, next;
    if (bytes[i] != 0xFF || !ParseMpegHeader(&bytes[i], &first)) continue;
    uint64_t at = start + i, after = at + first.frameBytes;
    if (after > stop) continue;
    if (after != stop && !(HeaderAt(reader, after, &next) && Same(first, next))) continue;
    // A VBRI header stands 32 bytes after the frame header.
    uint8_t vbri[4];
    if (after != stop && reader.ReadAt(at + 36, vbri, 4) == 4 && std::memcmp(vbri, "VBRI", 4) == 0) at = after;
    *begin = at;
    *end = stop;
    return true;
  }
  return false;
}

}  // namespace audio
