#pragma once
// A source for the engine's and the mixer's tests whose left sample is its own frame number
// (mod 30000) and right sample a fixed level, so what reaches a device tells where it came from.
#include <cstdint>

#include "audiolib/Source.h"

namespace audiotest {

class RampSource : public audio::Source {
public:
  RampSource(uint64_t frames, int16_t level) : frames(frames), level(level) {}
  size_t Read(int16_t *out, size_t count) override {
    size_t n = 0;
    for (; n < count && position < frames; ++n, ++position) {
      out[2 * n] = static_cast<int16_t>(position % 30000);
      out[2 * n + 1] = level;
    }
    return n;
  }
  void Seek(uint64_t frame) override { position = frame; }
  uint64_t Frames() const override { return frames; }

private:
  uint64_t frames;
  int16_t level;
  uint64_t position = 0;
};

}  // namespace audiotest
