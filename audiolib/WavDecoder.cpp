#include "audiolib/WavDecoder.h"

#include <cstring>

namespace audio {

namespace {

constexpr size_t kChunkBytes = 64u << 10;

// G.711: sign, three exponent bits and four mantissa bits; A-law has its even bits inverted,
// µ-law all bits and a bias of 33 (in 14-bit units).
float ALaw(uint8_t code) {
  code ^= 0x55;
  int exponent = code >> 4 & 7, mantissa = code & 15;
  int magnitude = exponent == 0 ? mantissa * 2 + 1 : (mantissa * 2 + 33) << (exponent - 1);
  return (code & 0x80 ? magnitude : -magnitude) / 4096.0f;
}

float MuLaw(uint8_t code) {
  code = static_cast<uint8_t>(~code);
  int exponent = code >> 4 & 7, mantissa = code & 15;
  int magnitude = ((mantissa * 2 + 33) << exponent) - 33;
  return (code & 0x80 ? -magnitude : magnitude) / 8192.0f;
}

// Floating-point samples beyond full scale are clipped, and NaN is silence, before they reach the
// resampler (where one infinity would spread over its whole filter).
float Clip(double v) {
  if (v != v) return 0.0f;
  return v > 1.0 ? 1.0f : v < -1.0 ? -1.0f : static_cast<float>(v);
}

float Sample(const uint8_t *p, WavCoding coding, int bits) {
  switch (coding) {
    case WavCoding::kALaw: return ALaw(p[0]);
    case WavCoding::kMuLaw: return MuLaw(p[0]);
    case WavCoding::kFloat: {
      if (bits == 32) {
        float v;
        uint32_t u = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
                     static_cast<uint32_t>(p[3]) << 24;
        std::memcpy(&v, &u, 4);
        return Clip(v);
      }
      uint64_t u = 0;
      for (int i = 7; i >= 0; --i) u = u << 8 | p[i];
      double v;
      std::memcpy(&v, &u, 8);
      return Clip(v);
    }
    default: break;
  }
  switch (bits) {
    case 8: return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16: return static_cast<int16_t>(p[0] | p[1] << 8) / 32768.0f;
    default: {
      int32_t v = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                                       static_cast<uint32_t>(p[2]) << 24) >> 8;
      return v / 8388608.0f;
    }
  }
}

}  // namespace

WavDecoder::WavDecoder(std::unique_ptr<Reader> reader, const WavInfo &info)
    : reader(std::move(reader)),
      info(info),
      mix(info.channels, info.channelMask),
      bytes((kChunkBytes / info.blockAlign + 1) * info.blockAlign),
      samples(info.channels) {}

size_t WavDecoder::Read(float *stereo, size_t frames) {
  size_t done = 0;
  const size_t chunkFrames = bytes.size() / info.blockAlign;
  const int step = info.bits / 8;
  while (done < frames && position < info.frames) {
    size_t want = frames - done;
    if (want > chunkFrames) want = chunkFrames;
    if (want > info.frames - position) want = static_cast<size_t>(info.frames - position);
    size_t got = reader->ReadAt(info.dataOffset + position * info.blockAlign, bytes.data(), want * info.blockAlign) /
                 info.blockAlign;
    for (size_t i = 0; i < got; ++i) {
      const uint8_t *frame = bytes.data() + i * info.blockAlign;
      for (uint16_t c = 0; c < info.channels; ++c) samples[c] = Sample(frame + c * step, info.coding, info.bits);
      mix.Mix(samples.data(), stereo + 2 * (done + i));
    }
    done += got;
    position += got;
    if (got < want) break;  // the file shrank or failed under us: end here
  }
  return done;
}

bool WavDecoder::Seek(uint64_t frame) {
  position = frame < info.frames ? frame : info.frames;
  return true;
}

}  // namespace audio
