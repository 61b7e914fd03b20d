#pragma once
#include <memory>
#include <vector>

#include "audiolib/ChannelMix.h"
#include "audiolib/Decoder.h"
#include "audiolib/WavParser.h"

namespace audio {

// The samples of a parsed WAV file coded one frame at a time (PCM, float, A-law, µ-law), read in
// pieces from its reader (large files stay on disk) and mixed down to stereo.
class WavDecoder : public Decoder {
public:
  WavDecoder(std::unique_ptr<Reader> reader, const WavInfo &info);
  uint32_t Rate() const override { return info.rate; }
  uint64_t Frames() const override { return info.frames; }
  size_t Read(float *stereo, size_t frames) override;
  bool Seek(uint64_t frame) override;

private:
  std::unique_ptr<Reader> reader;
  WavInfo info;
  ChannelMix mix;
  uint64_t position = 0;
  std::vector<uint8_t> bytes;
  std::vector<float> samples;  // one frame's channels
};

}  // namespace audio
