#pragma once
#include <cstdio>

#include "audiolib/Reader.h"

namespace audio {

// Reads a section of a file: `offset` bytes in, `length` bytes long (0: to the end of the file).
// Owns the open file.
class FileReader : public Reader {
public:
  FileReader() = default;
  ~FileReader() override;
  FileReader(const FileReader &) = delete;
  FileReader &operator=(const FileReader &) = delete;

  bool Open(const char *path, uint64_t offset, uint64_t length);
  size_t ReadAt(uint64_t offset, void *buffer, size_t count) override;
  uint64_t Size() const override { return size; }

private:
  std::FILE *file = nullptr;
  uint64_t start = 0;
  uint64_t size = 0;
};

}  // namespace audio
