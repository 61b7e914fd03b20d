#pragma once
#include "audiolib/Reader.h"

namespace audio {

// Reads a caller's memory block, which must outlive the reader.
class MemoryReader : public Reader {
public:
  MemoryReader(const void *data, size_t size) : data(static_cast<const uint8_t *>(data)), size(size) {}
  size_t ReadAt(uint64_t offset, void *buffer, size_t count) override;
  uint64_t Size() const override { return size; }

private:
  const uint8_t *data;
  size_t size;
};

}  // namespace audio
