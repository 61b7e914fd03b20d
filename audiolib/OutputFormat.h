#pragma once
#include <cstdint>

namespace audio {

// Everything the library plays comes out as 44.1 kHz, 16-bit, stereo.
constexpr uint32_t kOutputRate = 44100;
constexpr uint32_t kBytesPerFrame = 4;
constexpr uint32_t kBytesPerSecond = kOutputRate * kBytesPerFrame;  // 176,400

}  // namespace audio

namespace audio {

// A module position whose high 32 bits are all ones and whose low word is 0xFFFF0000 | s means
// "s seconds from the start"; anything else is a byte position.
constexpr bool ModuleSecondsPosition(uint64_t position, uint32_t *seconds) {
  if ((position >> 32) != 0xFFFFFFFFu || (position & 0xFFFF0000u) != 0xFFFF0000u) return false;
  *seconds = static_cast<uint32_t>(position & 0xFFFFu);
  return true;
}

}  // namespace audio
