#pragma once
#include <memory>
#include <vector>

#include "audiolib/Decoder.h"
#include "audiolib/WavParser.h"

namespace audio {

// PCM samples of a parsed WAV file, read in pieces from its reader (large files stay on disk).
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
  uint64_t position = 0;
  std::vector<uint8_t> bytes;
};

}  // namespace audio
