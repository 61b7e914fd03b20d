#pragma once
#include <cstdint>
#include <memory>

#include "audiolib/AudioError.h"
#include "audiolib/Decoder.h"
#include "audiolib/Reader.h"

struct stb_vorbis;

namespace audio {

// An Ogg Vorbis stream decoded with stb_vorbis from a copy of the file held in memory.
// More than two channels are mixed down to stereo by the decoder. The length is the last page's
// granule position, but never more than the file's packets can decode to.
class VorbisDecoder : public Decoder {
public:
  ~VorbisDecoder() override;
  // kErrorFileForm when the bytes are not a playable Vorbis stream, kErrorMem when too large or out
  // of memory.
  static AudioError Open(Reader &reader, std::unique_ptr<VorbisDecoder> *out);

  uint32_t Rate() const override { return rate; }
  uint64_t Frames() const override { return frames; }
  size_t Read(float *stereo, size_t frames) override;
  bool Seek(uint64_t frame) override;

private:
  VorbisDecoder() = default;
  std::unique_ptr<uint8_t[]> bytes;
  std::unique_ptr<char[]> arena;  // all of stb_vorbis's memory for this stream
  stb_vorbis *vorbis = nullptr;
  uint32_t rate = 0;
  uint64_t frames = 0;
  bool exhausted = false;  // at the end, or a seek failed
};

}  // namespace audio
