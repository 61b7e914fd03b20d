// Any bytes offered as a WAV file: parse, decode and resample a bounded stretch, seek, decode again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audiolib/DecodedSource.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/WavDecoder.h"
#include "audiolib/WavParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace audio;
  std::unique_ptr<Reader> reader(new MemoryReader(data, size));
  WavInfo info;
  if (ParseWav(*reader, &info) != kOk) return 0;
  if (info.frames > size) __builtin_trap();  // more frames than bytes: the parser overran the file
  DecodedSource source(std::unique_ptr<Decoder>(new WavDecoder(std::move(reader), info)));
  std::vector<int16_t> out(2 * 8192);
  source.Read(out.data(), 8192);
  source.Seek(source.Frames() / 2);
  source.Read(out.data(), 8192);
  source.Seek(source.Frames());
  if (source.Read(out.data(), 16) != 0) __builtin_trap();  // nothing after the end
  return 0;
}
