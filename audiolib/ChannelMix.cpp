#include "audiolib/ChannelMix.h"

namespace audio {

namespace {

enum Side { kLeft, kRight, kCentre, kNone };

// Speaker positions by mask bit, as WAVE_FORMAT_EXTENSIBLE numbers them.
constexpr Side kSides[18] = {kLeft,   kRight, kCentre, kNone,   kLeft, kRight, kLeft,   kRight,  kCentre,
                             kLeft,   kRight, kCentre, kLeft,   kCentre, kRight, kLeft, kCentre, kRight};
constexpr float kCentreWeight = 0.70710678f;

}  // namespace

ChannelMix::ChannelMix(uint16_t channels, uint32_t mask) : channels(channels), left(channels), right(channels) {
  if (channels == 1 && mask == 0) {
    left[0] = right[0] = 1.0f;
    return;
  }
  if (mask == 0) mask = channels >= 32 ? 0xFFFFFFFFu : (1u << channels) - 1;
  int bit = 0;
  for (uint16_t c = 0; c < channels; ++c) {
    while (bit < 32 && !(mask >> bit & 1)) ++bit;
    Side side = bit < 18 ? kSides[bit] : kCentre;
    ++bit;
    if (side == kLeft) left[c] = 1.0f;
    if (side == kRight) right[c] = 1.0f;
    if (side == kCentre) left[c] = right[c] = kCentreWeight;
  }
  float leftSum = 0, rightSum = 0;
  for (uint16_t c = 0; c < channels; ++c) {
    leftSum += left[c];
    rightSum += right[c];
  }
  // A side no speaker feeds plays the other side (a mono file marked front left, say).
  if (leftSum == 0) left = right, leftSum = rightSum;
  if (rightSum == 0) right = left, rightSum = leftSum;
  for (uint16_t c = 0; c < channels && leftSum > 0; ++c) {
    left[c] /= leftSum;
    right[c] /= rightSum;
  }
}

void ChannelMix::Mix(const float *in, float *stereo) const {
  float l = 0, r = 0;
  for (uint16_t c = 0; c < channels; ++c) {
    l += left[c] * in[c];
    r += right[c] * in[c];
  }
  stereo[0] = l;
  stereo[1] = r;
}

}  // namespace audio
