#pragma once
#include <memory>
#include <vector>

#include "audiolib/Decoder.h"
#include "audiolib/Resampler.h"
#include "audiolib/Source.h"

namespace audio {

// A decoded stream (WAV, Ogg Vorbis, MPEG) converted to the output format. It ends where its
// decoder runs dry, even before the length its header claimed: from then on Frames() is that end.
class DecodedSource : public Source {
public:
  explicit DecodedSource(std::unique_ptr<Decoder> decoder);
  size_t Read(int16_t *out, size_t frames) override;
  void Seek(uint64_t frame) override;
  uint64_t Frames() const override { return frames; }

private:
  std::unique_ptr<Decoder> decoder;
  Resampler resampler;
  uint64_t frames;
  uint64_t position = 0;
  std::vector<float> scratch;
};

}  // namespace audio
