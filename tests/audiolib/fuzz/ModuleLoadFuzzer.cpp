// Any bytes offered as a module: load through libxmp, play a little, seek, play again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/OutputFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace audio;
  MemoryReader reader(data, size);
  std::unique_ptr<Source> source;
  if (OpenModule(reader, &source) != kOk) return 0;
  std::vector<int16_t> out(2 * 4096);
  source->Read(out.data(), 4096);
  source->Seek(kOutputRate);
  source->Read(out.data(), 4096);
  return 0;
}
