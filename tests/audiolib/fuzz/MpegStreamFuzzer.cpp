// Any bytes offered as an MPEG audio file: find the frames, open through libmpg123 (which scans
// them all), decode and resample a bounded stretch, seek into the middle and to the end.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audiolib/DecodedSource.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/MpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace audio;
  std::unique_ptr<MpegDecoder> mpeg;
  if (MpegDecoder::Open(std::unique_ptr<Reader>(new MemoryReader(data, size)), &mpeg) != kOk) return 0;
  // The densest streams give 24 frames a byte (MPEG-2 layers II and III at 8 kbit/s, 24 kHz):
  // more than twice that means the length did not come from the bytes.
  if (mpeg->Frames() > 48 * static_cast<uint64_t>(size) + 1152) __builtin_trap();
  DecodedSource source(std::move(mpeg));
  std::vector<int16_t> out(2 * 8192);
  source.Read(out.data(), 8192);
  source.Seek(source.Frames() / 2);
  source.Read(out.data(), 8192);
  source.Seek(source.Frames());
  if (source.Read(out.data(), 16) != 0) __builtin_trap();  // nothing after the end
  return 0;
}
