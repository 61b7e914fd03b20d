#include "audiolib/FileReader.h"

namespace audio {

namespace {

bool SeekTo(std::FILE *file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool FileSize(std::FILE *file, uint64_t *size) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return false;
  long long end = _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return false;
  long long end = ftello(file);
#endif
  if (end < 0) return false;
  *size = static_cast<uint64_t>(end);
  return true;
}

}  // namespace

FileReader::~FileReader() {
  if (file) std::fclose(file);
}

bool FileReader::Open(const char *path, uint64_t offset, uint64_t length) {
  if (file || !path) return false;
  file = std::fopen(path, "rb");
  if (!file) return false;
  uint64_t total = 0;
  if (!FileSize(file, &total) || offset > total) {
    std::fclose(file);
    file = nullptr;
    return false;
  }
  start = offset;
  size = total - offset;
  if (length != 0 && length < size) size = length;
  return true;
}

size_t FileReader::ReadAt(uint64_t offset, void *buffer, size_t count) {
  if (!file || offset >= size) return 0;
  if (count > size - offset) count = static_cast<size_t>(size - offset);
  if (!SeekTo(file, start + offset)) return 0;
  return std::fread(buffer, 1, count, file);
}

}  // namespace audio
