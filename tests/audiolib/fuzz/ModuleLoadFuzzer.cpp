// Any bytes offered as a module, as the player offers every song: load (streams are refused before
// libxmp sees them), play the first seconds, seek into the middle and play on, seek to the end.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/OutputFormat.h"

namespace {

constexpr size_t kBlock = 4096;

// Plays up to `frames` frames; fewer when the module ends.
uint64_t Play(audio::Source &source, uint64_t frames) {
  std::vector<int16_t> out(2 * kBlock);
  uint64_t played = 0;
  for (size_t got = kBlock; got == kBlock && played < frames;) played += got = source.Read(out.data(), kBlock);
  return played;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace audio;
  MemoryReader reader(data, size);
  std::unique_ptr<Source> source;
  if (OpenModule(reader, &source) != kOk) return 0;
  Play(*source, 4 * kOutputRate);
  source->Seek(source->Frames() / 2);
  Play(*source, kOutputRate);
  source->Seek(source->Frames());
  Play(*source, kBlock);
  return 0;
}
