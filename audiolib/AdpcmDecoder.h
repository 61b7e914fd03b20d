#pragma once
#include <memory>
#include <vector>

#include "audiolib/Decoder.h"
#include "audiolib/WavParser.h"

namespace audio {

// The samples of an IMA- or MS-ADPCM WAV file (mono or stereo), decoded one block at a time;
// seeking decodes the block that holds the frame.
class AdpcmDecoder : public Decoder {
public:
  AdpcmDecoder(std::unique_ptr<Reader> reader, const WavInfo &info);
  uint32_t Rate() const override { return info.rate; }
  uint64_t Frames() const override { return info.frames; }
  size_t Read(float *stereo, size_t frames) override;
  bool Seek(uint64_t frame) override;

private:
  // Decodes block `index` into `pcm`; false when it could not be read.
  bool Load(uint64_t index);
  void DecodeIma(const uint8_t *block, size_t size);
  void DecodeMs(const uint8_t *block, size_t size);

  std::unique_ptr<Reader> reader;
  WavInfo info;
  std::vector<uint8_t> bytes;  // one block
  std::vector<int16_t> pcm;    // its frames, interleaved
  uint64_t loaded = UINT64_MAX;  // the block in `pcm`
  uint64_t position = 0;
};

}  // namespace audio
