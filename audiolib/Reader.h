#pragma once
#include <cstddef>
#include <cstdint>

namespace audio {

// Random-access bytes of one file or memory block, as the decoders read them.
class Reader {
public:
  virtual ~Reader() = default;
  // Copies up to `size` bytes from `offset`; returns how many were copied (0 past the end).
  virtual size_t ReadAt(uint64_t offset, void *buffer, size_t size) = 0;
  virtual uint64_t Size() const = 0;
};

}  // namespace audio
