#include "audiolib/WavParser.h"

#include <cstring>

namespace audio {

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagMsAdpcm = 2;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagALaw = 6;
constexpr uint16_t kTagMuLaw = 7;
constexpr uint16_t kTagImaAdpcm = 0x11;
constexpr uint16_t kTagMpeg = 0x50;
constexpr uint16_t kTagMpegLayer3 = 0x55;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr int kMaxChunks = 10000;  // a file of nothing but empty chunks is not worth scanning further
constexpr size_t kMaxCoefficients = 256;  // MS-ADPCM: a block names its predictor in one byte
// The tail that every sub-format GUID of EXTENSIBLE files shares after its two-byte tag.
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t Le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// ADPCM: the frames a block of `bytes` bytes holds (its header's samples included), 0 when the
// block is shorter than its header.
uint64_t AdpcmFrames(const WavInfo &info, uint64_t bytes) {
  uint64_t header = (info.coding == WavCoding::kMsAdpcm ? 7u : 4u) * info.channels;
  if (bytes < header) return 0;
  uint64_t nibbles = (bytes - header) * 2 / info.channels;
  if (info.coding == WavCoding::kMsAdpcm) return 2 + nibbles;
  // IMA stereo interleaves the channels in runs of eight samples.
  if (info.channels == 2) nibbles -= nibbles % 8;
  return 1 + nibbles;
}

AudioError CheckAdpcm(const uint8_t *fmt, size_t size, WavInfo *info) {
  if (info->bits != 4 || info->channels > 2 || info->blockAlign == 0) return kErrorFormat;
  uint64_t capacity = AdpcmFrames(*info, info->blockAlign);
  if (capacity < 2 || capacity > 0xFFFF) return kErrorFormat;
  if (info->coding == WavCoding::kImaAdpcm && info->channels == 2 && (info->blockAlign - 8) % 8 != 0) return kErrorFormat;
  uint16_t extra = size >= 18 ? Le16(fmt + 16) : 0;
  uint16_t frames = extra >= 2 && size >= 20 ? Le16(fmt + 18) : 0;
  if (info->coding == WavCoding::kImaAdpcm) {
    info->blockFrames = frames ? frames : static_cast<uint16_t>(capacity);
  } else {
    // Microsoft's coding needs its predictor table: a count, then pairs of 8.8 fixed point.
    if (extra < 4 || size < 22 || frames == 0) return kErrorFormat;
    size_t count = Le16(fmt + 20);
    if (count == 0 || count > kMaxCoefficients || size < 22 + 4 * count || extra < 4 + 4 * count) return kErrorFormat;
    info->blockFrames = frames;
    for (size_t i = 0; i < 2 * count; ++i) info->coefficients.push_back(static_cast<int16_t>(Le16(fmt + 22 + 2 * i)));
  }
  if (info->blockFrames > capacity || info->blockFrames < 2) return kErrorFormat;
  return kOk;
}

AudioError ReadFormat(Reader &reader, uint64_t offset, uint32_t size, WavInfo *info) {
  std::vector<uint8_t> fmt(size < 22 + 4 * kMaxCoefficients ? size : 22 + 4 * kMaxCoefficients);
  if (size < 16) return kErrorFileForm;
  if (reader.ReadAt(offset, fmt.data(), fmt.size()) != fmt.size()) return kErrorFileForm;
  uint16_t tag = Le16(fmt.data());
  info->channels = Le16(&fmt[2]);
  info->rate = Le32(&fmt[4]);
  info->blockAlign = Le16(&fmt[12]);
  info->bits = Le16(&fmt[14]);
  if (tag == kTagExtensible) {
    // The sub-format GUID's first two bytes carry the real tag; only PCM and float come this way.
    if (fmt.size() < 40 || Le16(&fmt[16]) < 22 || std::memcmp(&fmt[26], kGuidTail, sizeof kGuidTail) != 0)
      return kErrorFormat;
    info->channelMask = Le32(&fmt[20]);
    tag = Le16(&fmt[24]);
    if (tag != kTagPcm && tag != kTagFloat) return kErrorFormat;
  }
  if (info->channels < 1 || info->channels > kMaxWavChannels) return kErrorFormat;
  if (info->rate < kMinWavRate || info->rate > kMaxWavRate) return kErrorFormat;
  switch (tag) {
    case kTagPcm:
      info->coding = WavCoding::kPcm;
      if (info->bits != 8 && info->bits != 16 && info->bits != 24) return kErrorFormat;
      break;
    case kTagFloat:
      info->coding = WavCoding::kFloat;
      if (info->bits != 32 && info->bits != 64) return kErrorFormat;
      break;
    case kTagALaw:
    case kTagMuLaw:
      info->coding = tag == kTagALaw ? WavCoding::kALaw : WavCoding::kMuLaw;
      if (info->bits != 8) return kErrorFormat;
      break;
    case kTagImaAdpcm:
    case kTagMsAdpcm:
      info->coding = tag == kTagImaAdpcm ? WavCoding::kImaAdpcm : WavCoding::kMsAdpcm;
      return CheckAdpcm(fmt.data(), fmt.size(), info);
    case kTagMpeg:
    case kTagMpegLayer3:
      // The stream's own headers say the rest.
      info->coding = WavCoding::kMpeg;
      info->bits = 0;
      return kOk;
    default:
      return kErrorFormat;
  }
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
  uint64_t factFrames = 0;
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
      info->dataBytes = size;
      if (info->dataBytes > end - body) info->dataBytes = end - body;
    } else if (std::memcmp(chunk, "fact", 4) == 0 && size >= 4) {
      uint8_t count[4];
      if (reader.ReadAt(body, count, 4) == 4) factFrames = Le32(count);
    }
    pos = body + size + (size & 1);  // chunks are padded to an even length
  }
  if (!haveFormat || !haveData) return kErrorFileForm;
  switch (info->coding) {
    case WavCoding::kMpeg:
      return info->dataBytes ? kOk : kErrorFileForm;
    case WavCoding::kImaAdpcm:
    case WavCoding::kMsAdpcm: {
      uint64_t blocks = info->dataBytes / info->blockAlign;
      info->frames = blocks * info->blockFrames;
      uint64_t last = AdpcmFrames(*info, info->dataBytes % info->blockAlign);
      info->frames += last < info->blockFrames ? last : info->blockFrames;
      // The encoder's count of the frames, when present, leaves out the last block's filling.
      if (factFrames && factFrames < info->frames) info->frames = factFrames;
      break;
    }
    default:
      info->frames = info->dataBytes / info->blockAlign;
  }
  if (info->frames == 0) return kErrorFileForm;
  return kOk;
}

}  // namespace audio
