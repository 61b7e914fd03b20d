#include "audiolib/WavDecoder.h"

namespace audio {

namespace {

constexpr size_t kChunkFrames = 4096;

float Sample(const uint8_t *p, int bits) {
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
    : reader(std::move(reader)), info(info), bytes(kChunkFrames * info.blockAlign) {}

size_t WavDecoder::Read(float *stereo, size_t frames) {
  size_t done = 0;
  const int step = info.bits / 8;
  while (done < frames && position < info.frames) {
    size_t want = frames - done;
    if (want > kChunkFrames) want = kChunkFrames;
    if (want > info.frames - position) want = static_cast<size_t>(info.frames - position);
    size_t got = reader->ReadAt(info.dataOffset + position * info.blockAlign, bytes.data(), want * info.blockAlign) /
                 info.blockAlign;
    for (size_t i = 0; i < got; ++i) {
      const uint8_t *frame = bytes.data() + i * info.blockAlign;
      float left = Sample(frame, info.bits);
      float right = info.channels == 2 ? Sample(frame + step, info.bits) : left;
      stereo[2 * (done + i)] = left;
      stereo[2 * (done + i) + 1] = right;
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
