#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audiolib/Decoder.h"

namespace audio {

// Converts a decoder's frames to the output rate with a windowed-sinc filter (Blackman window,
// cut-off just under the lower of the two Nyquist frequencies, so downsampling does not alias).
// Equal rates pass through unchanged. Frames before the start and after the end count as silence.
// The decoder's end is where its Read first gives fewer frames than asked, whatever it claimed.
class Resampler {
public:
  explicit Resampler(uint32_t inRate);
  // Restarts at output frame `frame` and seeks the decoder to the input it needs.
  void Reset(Decoder &decoder, uint64_t frame);
  // Renders `frames` output frames (interleaved stereo). Returns how many of them lie before the
  // decoder's end (all of them until it has ended); the rest are silence.
  size_t Render(Decoder &decoder, float *out, size_t frames);
  int HalfWidth() const { return halfWidth; }

private:
  void Fill(Decoder &decoder, int64_t last);
  uint32_t inRate;
  int halfWidth = 0;               // input frames on each side of the centre
  std::vector<float> table;        // (kPhases + 1) rows of 2 * halfWidth coefficients
  std::vector<float> buffer;       // stereo input frames from bufferFirst on
  int64_t bufferFirst = 0;         // input frame index of buffer[0] (negative: leading silence)
  bool inputEnded = false;
  int64_t inputEnd = 0;            // input frames the decoder gave in all, once it has ended
  uint64_t outFrame = 0;           // next output frame
};

}  // namespace audio
