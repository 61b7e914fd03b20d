#pragma once
#include <cstdint>
#include <vector>

namespace audio {

// Folds a WAV file's channels into stereo by their speaker positions: left-hand speakers to the
// left, right-hand ones to the right, centre ones (and channels beyond the mask) to both at -3 dB;
// the low-frequency channel is left out. Each side is scaled by its weights' sum, so the mix cannot
// clip. Without a mask, channels take the usual order (front left, front right, centre, LFE, back
// left, back right, ...); one channel goes to both sides.
class ChannelMix {
public:
  ChannelMix(uint16_t channels, uint32_t mask);
  // One frame of `channels` samples to a left and right sample.
  void Mix(const float *in, float *stereo) const;

private:
  uint16_t channels;
  std::vector<float> left, right;
};

}  // namespace audio
