#include "audiolib/MemoryReader.h"

#include <cstring>

namespace audio {

size_t MemoryReader::ReadAt(uint64_t offset, void *buffer, size_t count) {
  if (offset >= size) return 0;
  size_t left = size - static_cast<size_t>(offset);
  size_t n = count < left ? count : left;
  std::memcpy(buffer, data + offset, n);
  return n;
}

}  // namespace audio
