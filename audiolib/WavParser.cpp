#include "audiolib/WavParser.h"

#include <cstring>

namespace audio {

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr int kMaxChunks = 10000;  // a file of nothing but empty chunks is not worth scanning further

uint16_t Le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

AudioError ReadFormat(Reader &reader, uint64_t offset, uint32_t size, WavInfo *info) {
  uint8_t fmt[40] = {};
  if (size < 16) return kErrorFileForm;
  size_t want = size < sizeof fmt ? size : sizeof fmt;
  if (reader.ReadAt(offset, fmt, want) != want) return kErrorFileForm;
  uint16_t tag = Le16(fmt);
  if (tag == kTagExtensible) {
    // The sub-format GUID's first two bytes carry the real tag.
    if (want < 26 || Le16(fmt + 16) < 22) return kErrorFormat;
    tag = Le16(fmt + 24);
  }
  if (tag != kTagPcm) return kErrorFormat;
  info->channels = Le16(fmt + 2);
  info->rate = Le32(fmt + 4);
  info->blockAlign = Le16(fmt + 12);
  info->bits = Le16(fmt + 14);
  if (info->channels < 1 || info->channels > 2) return kErrorFormat;
  if (info->bits != 8 && info->bits != 16 && info->bits != 24) return kErrorFormat;
  if (info->rate < kMinWavRate || info->rate > kMaxWavRate) return kErrorFormat;
  if (info->blockAlign != info->channels * info->bits / 8) return kErrorFormat;
  return kOk;
}

}  // namespace

AudioError ParseWav(Reader &reader, WavInfo *info) {
  *info = WavInfo();
  uint8_t header[12];
  if (reader.ReadAt(0, header, sizeof header) != sizeof header) return kErrorFileForm;
  if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return kErrorFileForm;

  // The RIFF size is often wrong in the wild; the file's own size bounds the scan instead.
  const uint64_t end = reader.Size();
  bool haveFormat = false, haveData = false;
  uint64_t dataSize = 0;
  uint64_t pos = 12;
  for (int n = 0; n < kMaxChunks && pos + 8 <= end && !(haveFormat && haveData); ++n) {
    uint8_t chunk[8];
    if (reader.ReadAt(pos, chunk, sizeof chunk) != sizeof chunk) break;
    uint32_t size = Le32(chunk + 4);
    uint64_t body = pos + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
      AudioError error = ReadFormat(reader, body, size, info);
      if (error != kOk) return error;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
      haveData = true;
      info->dataOffset = body;
      dataSize = size;
      if (dataSize > end - body) dataSize = end - body;
    }
    pos = body + size + (size & 1);  // chunks are padded to an even length
  }
  if (!haveFormat || !haveData) return kErrorFileForm;
  info->frames = dataSize / info->blockAlign;
  if (info->frames == 0) return kErrorFileForm;
  return kOk;
}

}  // namespace audio
