#pragma once
#include <cstdint>

#include "audiolib/AudioError.h"
#include "audiolib/Reader.h"

namespace audio {

// What a WAV file holds, as far as playing it needs.
struct WavInfo {
  uint32_t rate = 0;        // frames per second
  uint16_t channels = 0;    // 1 or 2
  uint16_t bits = 0;        // 8, 16 or 24 (PCM)
  uint16_t blockAlign = 0;  // bytes per frame
  uint64_t dataOffset = 0;  // where the first frame starts
  uint64_t frames = 0;      // whole frames present in the file
};

// Sample rates outside this range are refused as absurd.
constexpr uint32_t kMinWavRate = 1000;
constexpr uint32_t kMaxWavRate = 384000;

// Reads the RIFF/WAVE chunks. kErrorFileForm: not a WAV file, or one without playable data
// (no "fmt " or "data" chunk, zero frames); kErrorFormat: a WAV of a kind we do not play
// (compressed or float samples, more than two channels, odd bit depths, absurd rates).
// A data chunk that claims more bytes than the file holds is cut to what is there.
AudioError ParseWav(Reader &reader, WavInfo *info);

}  // namespace audio
