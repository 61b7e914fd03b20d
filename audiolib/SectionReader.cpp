#include "audiolib/SectionReader.h"

namespace audio {

SectionReader::SectionReader(std::unique_ptr<Reader> whole, uint64_t offset, uint64_t length)
    : whole(std::move(whole)), start(offset), length(0) {
  uint64_t size = this->whole->Size();
  if (start > size) start = size;
  this->length = length < size - start ? length : size - start;
}

size_t SectionReader::ReadAt(uint64_t offset, void *buffer, size_t size) {
  if (offset >= length) return 0;
  if (size > length - offset) size = static_cast<size_t>(length - offset);
  return whole->ReadAt(start + offset, buffer, size);
}

}  // namespace audio
