#pragma once
// Builds WAV files in memory for the audio library's tests.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace audiotest {

struct WavSpec {
  uint32_t rate = 44100;
  uint16_t channels = 2;
  uint16_t bits = 16;
  uint64_t frames = 44100;
  double frequency = 1000.0;  // sine tone
  double amplitude = 0.5;     // of full scale
  uint16_t tag = 1;           // PCM
};

inline void Put16(std::vector<uint8_t> &out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t> &out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void PutTag(std::vector<uint8_t> &out, const char *tag) { out.insert(out.end(), tag, tag + 4); }

// One sample of the tone, as a signed integer of `bits` bits.
inline int32_t ToneSample(const WavSpec &spec, uint64_t frame) {
  const double pi = 3.14159265358979323846;
  double v = spec.amplitude * std::sin(2 * pi * spec.frequency * static_cast<double>(frame) / spec.rate);
  double full = static_cast<double>(1 << (spec.bits - 1)) - 1;
  return static_cast<int32_t>(std::lround(v * full));
}

// The sample bytes of a tone, every channel alike.
inline std::vector<uint8_t> ToneData(const WavSpec &spec) {
  std::vector<uint8_t> data;
  data.reserve(spec.frames * spec.channels * spec.bits / 8);
  for (uint64_t f = 0; f < spec.frames; ++f) {
    int32_t s = ToneSample(spec, f);
    for (int c = 0; c < spec.channels; ++c) {
      if (spec.bits == 8) {
        data.push_back(static_cast<uint8_t>(s + 128));
      } else {
        for (int b = 0; b < spec.bits / 8; ++b) data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(s) >> (8 * b)));
      }
    }
  }
  return data;
}

inline std::vector<uint8_t> FmtChunk(const WavSpec &spec) {
  std::vector<uint8_t> out;
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, spec.tag);
  Put16(out, spec.channels);
  Put32(out, spec.rate);
  Put32(out, spec.rate * spec.channels * spec.bits / 8);
  Put16(out, spec.channels * spec.bits / 8);
  Put16(out, spec.bits);
  return out;
}

inline std::vector<uint8_t> Chunk(const char *tag, const std::vector<uint8_t> &body, uint32_t claimed) {
  std::vector<uint8_t> out;
  PutTag(out, tag);
  Put32(out, claimed);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
  return out;
}

// RIFF/WAVE around the given chunks.
inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>> &chunks) {
  std::vector<uint8_t> body;
  PutTag(body, "WAVE");
  for (const auto &c : chunks) body.insert(body.end(), c.begin(), c.end());
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline std::vector<uint8_t> MakeWav(const WavSpec &spec) {
  std::vector<uint8_t> data = ToneData(spec);
  return Riff({FmtChunk(spec), Chunk("data", data, static_cast<uint32_t>(data.size()))});
}

// Estimates a tone's frequency from the rising zero crossings of one channel of 16-bit stereo.
inline double ToneFrequency(const int16_t *stereo, size_t frames, uint32_t rate) {
  long first = -1, last = -1, crossings = 0;
  for (size_t i = 1; i < frames; ++i) {
    if (stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) {
      if (first < 0) first = static_cast<long>(i);
      last = static_cast<long>(i);
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * static_cast<double>(rate) / (last - first);
}

inline double Rms(const int16_t *stereo, size_t frames) {
  double sum = 0;
  for (size_t i = 0; i < frames * 2; ++i) sum += static_cast<double>(stereo[i]) * stereo[i];
  return frames ? std::sqrt(sum / (frames * 2)) : 0;
}

}  // namespace audiotest
