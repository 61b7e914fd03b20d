#pragma once
#include <cstddef>
#include <cstdint>

namespace audio {

// Decoded sound at the file's own rate, as float stereo frames in [-1, 1].
class Decoder {
public:
  virtual ~Decoder() = default;
  virtual uint32_t Rate() const = 0;
  virtual uint64_t Frames() const = 0;
  // Fills up to `frames` interleaved stereo frames; fewer only at the end.
  virtual size_t Read(float *stereo, size_t frames) = 0;
  virtual bool Seek(uint64_t frame) = 0;
};

}  // namespace audio
