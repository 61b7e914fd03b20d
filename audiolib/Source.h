#pragma once
#include <cstddef>
#include <cstdint>

namespace audio {

// A channel's sound in the output format (44.1 kHz 16-bit stereo frames).
class Source {
public:
  virtual ~Source() = default;
  // Fills up to `frames` interleaved frames; fewer means the source has ended.
  virtual size_t Read(int16_t *out, size_t frames) = 0;
  // Moves to output frame `frame` (before the end).
  virtual void Seek(uint64_t frame) = 0;
  // The length in output frames.
  virtual uint64_t Frames() const = 0;
  // The number of positions in a module's song; 0 for streams.
  virtual uint32_t Orders() const { return 0; }
};

}  // namespace audio
