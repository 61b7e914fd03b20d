#pragma once
// Files on disk for the DLL tests, written from generated WAV bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/audiolib/WavWriter.h"

namespace audiotest {

inline std::string WriteFile(const std::string &name, const std::vector<uint8_t> &bytes) {
  std::FILE *f = std::fopen(name.c_str(), "wb");
  if (!f) return std::string();
  size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return written == bytes.size() ? name : std::string();
}

inline std::string WriteWav(const std::string &name, const WavSpec &spec) { return WriteFile(name, MakeWav(spec)); }

}  // namespace audiotest
