#pragma once
#include <cstdint>
#include <memory>

#include "audiolib/AudioError.h"
#include "audiolib/Decoder.h"
#include "audiolib/Reader.h"

struct mpg123_handle_struct;

namespace audio {

struct MpegInput;

// An MPEG audio stream (MPEG-1, 2 and 2.5, layers I to III) decoded with libmpg123 straight from
// its reader. Opening scans every frame once: the length is exact (less the encoder's delay and
// padding that a LAME tag gives) and seeking lands on the sample, VBR or not. Damage inside the
// stream is skipped when the next frame follows within 1 KB (libmpg123's limit); after a longer
// stretch of junk the stream ends there, as mpg123 itself plays it.
class MpegDecoder : public Decoder {
public:
  ~MpegDecoder() override;
  MpegDecoder(const MpegDecoder &) = delete;
  MpegDecoder &operator=(const MpegDecoder &) = delete;
  // kErrorFileForm when the bytes are not MPEG audio (see FindMpegFrames) or hold no whole frame,
  // kErrorMem when the stream is larger than 2 GB or memory ran out.
  static AudioError Open(std::unique_ptr<Reader> reader, std::unique_ptr<MpegDecoder> *out);

  uint32_t Rate() const override { return rate; }
  uint64_t Frames() const override { return frames; }
  size_t Read(float *stereo, size_t frames) override;
  bool Seek(uint64_t frame) override;

private:
  MpegDecoder();
  std::unique_ptr<MpegInput> input;  // the frames alone, as libmpg123 reads them
  mpg123_handle_struct *handle = nullptr;
  uint32_t rate = 0;
  uint64_t frames = 0;
  uint64_t position = 0;
  bool ended = false;
};

}  // namespace audio
