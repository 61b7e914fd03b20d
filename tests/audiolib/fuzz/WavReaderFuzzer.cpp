// Any bytes offered as a WAV file: parse, then open as a stream (every coding, MPEG data through
// libmpg123), decode and resample a bounded stretch, seek, decode again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/WavParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace audio;
  std::unique_ptr<Reader> reader(new MemoryReader(data, size));
  WavInfo info;
  if (ParseWav(*reader, &info) != kOk) return 0;
  // More frames than two a byte (4-bit ADPCM, mono): the parser overran the file.
  if (info.frames > 2 * size) __builtin_trap();
  std::unique_ptr<Source> source;
  if (OpenStream(std::move(reader), &source) != kOk) return 0;
  std::vector<int16_t> out(2 * 8192);
  source->Read(out.data(), 8192);
  source->Seek(source->Frames() / 2);
  source->Read(out.data(), 8192);
  source->Seek(source->Frames());
  if (source->Read(out.data(), 16) != 0) __builtin_trap();  // nothing after the end
  return 0;
}
