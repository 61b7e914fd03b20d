#pragma once
#include <memory>

#include "audiolib/Reader.h"

namespace audio {

// A stretch of another reader (`offset` bytes in, at most `length` long), which it owns: the
// MPEG data inside a WAV file, or an MPEG stream without its tags.
class SectionReader : public Reader {
public:
  SectionReader(std::unique_ptr<Reader> whole, uint64_t offset, uint64_t length);
  size_t ReadAt(uint64_t offset, void *buffer, size_t size) override;
  uint64_t Size() const override { return length; }

private:
  std::unique_ptr<Reader> whole;
  uint64_t start;
  uint64_t length;
};

}  // namespace audio
