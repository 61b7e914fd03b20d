#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "audiolib/AudioError.h"
#include "audiolib/Source.h"

struct xmp_module;

namespace audio {

// A tracker module rendered by libxmp. It plays its song once: the module's end, or a jump back
// that libxmp counts as a loop, ends it.
class ModuleSource : public Source {
public:
  ~ModuleSource() override;
  // kErrorFileForm when libxmp does not load the bytes, or at once, before libxmp sees them, when
  // they are plainly a stream (see PlainlyStream); kErrorMem when out of memory.
  static AudioError Open(const void *data, size_t size, std::unique_ptr<ModuleSource> *out);
  // A RIFF/WAVE, Ogg, FLAC or ID3-tagged file, or two MPEG audio frame headers back to back at
  // the start. One sync word alone is no sign: real modules begin with one now and then.
  static bool PlainlyStream(const uint8_t *bytes, size_t size);

  size_t Read(int16_t *out, size_t frames) override;
  void Seek(uint64_t frame) override;
  uint64_t Frames() const override { return frames; }
  uint32_t Orders() const override { return orders; }
  // Drops envelope sustain and loop points that lie outside their envelope.
  static void CheckEnvelopes(xmp_module *mod);

private:
  ModuleSource() = default;
  bool NextFrame();
  char *context = nullptr;  // xmp_context
  uint64_t frames = 0;
  uint32_t orders = 0;
  uint64_t position = 0;
  bool ended = false;
  int loopBase = 0;  // libxmp's loop count at the last start; one more is the song's end
  std::vector<int16_t> pending;  // the rest of libxmp's current frame
  size_t pendingAt = 0;          // in samples
};

}  // namespace audio
