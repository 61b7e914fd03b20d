#include "audiolib/DecodedSource.h"

#include <cmath>

#include "audiolib/OutputFormat.h"

namespace audio {

namespace {

int16_t ToSample(float v) {
  float s = v * 32768.0f;
  if (s >= 32767.0f) return 32767;
  if (s <= -32768.0f) return -32768;
  return static_cast<int16_t>(std::lrintf(s));
}

}  // namespace

DecodedSource::DecodedSource(std::unique_ptr<Decoder> decoder)
    : decoder(std::move(decoder)),
      resampler(this->decoder->Rate()),
      frames(this->decoder->Frames() * kOutputRate / this->decoder->Rate()) {
  resampler.Reset(*this->decoder, 0);
}

size_t DecodedSource::Read(int16_t *out, size_t count) {
  if (count > frames - position) count = static_cast<size_t>(frames - position);
  if (scratch.size() < count * 2) scratch.resize(count * 2);
  size_t got = resampler.Render(*decoder, scratch.data(), count);
  if (got < count) {
    // The data ended before the header said: the stream ends here, not after silence.
    count = got;
    frames = position + got;
  }
  for (size_t i = 0; i < count * 2; ++i) out[i] = ToSample(scratch[i]);
  position += count;
  return count;
}

void DecodedSource::Seek(uint64_t frame) {
  position = frame < frames ? frame : frames;
  resampler.Reset(*decoder, position);
}

}  // namespace audio
