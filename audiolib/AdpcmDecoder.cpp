#include "audiolib/AdpcmDecoder.h"

#include <algorithm>

namespace audio {

namespace {

constexpr int16_t kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kImaIndexStep[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

constexpr int kMaxMsDelta = 0x7FFFFFFF / 768;

int16_t Clamp16(int v) { return static_cast<int16_t>(std::min(32767, std::max(-32768, v))); }
int16_t Le16(const uint8_t *p) { return static_cast<int16_t>(p[0] | p[1] << 8); }

struct ImaChannel {
  int predictor;
  int index;
  int16_t Next(int nibble) {
    int step = kImaSteps[index];
    int diff = step >> 3;
    if (nibble & 1) diff += step >> 2;
    if (nibble & 2) diff += step >> 1;
    if (nibble & 4) diff += step;
    if (nibble & 8) diff = -diff;
    predictor = Clamp16(predictor + diff);
    index = std::min(88, std::max(0, index + kImaIndexStep[nibble & 7]));
    return static_cast<int16_t>(predictor);
  }
};

struct MsChannel {
  int c1, c2, delta, s1, s2;
  int16_t Next(int nibble) {
    int signedNibble = nibble >= 8 ? nibble - 16 : nibble;
    int predicted = static_cast<int>((static_cast<int64_t>(s1) * c1 + static_cast<int64_t>(s2) * c2) >> 8);
    int16_t out = Clamp16(predicted + signedNibble * delta);
    s2 = s1;
    s1 = out;
    // Bounded so that a crafted block cannot grow it past what an int holds.
    delta = std::min(kMaxMsDelta, std::max(16, (kMsAdaptation[nibble] * delta) >> 8));
    return out;
  }
};

}  // namespace

AdpcmDecoder::AdpcmDecoder(std::unique_ptr<Reader> reader, const WavInfo &info)
    : reader(std::move(reader)), info(info), bytes(info.blockAlign), pcm(static_cast<size_t>(info.blockFrames) * info.channels) {}

bool AdpcmDecoder::Load(uint64_t index) {
  if (index == loaded) return true;
  uint64_t offset = index * info.blockAlign;
  if (offset >= info.dataBytes) return false;
  size_t want = static_cast<size_t>(std::min<uint64_t>(info.blockAlign, info.dataBytes - offset));
  size_t got = reader->ReadAt(info.dataOffset + offset, bytes.data(), want);
  if (got < want) return false;
  // Frames the block cannot hold (a short last block) stay silent.
  std::fill(pcm.begin(), pcm.end(), 0);
  if (info.coding == WavCoding::kImaAdpcm) DecodeIma(bytes.data(), got);
  else DecodeMs(bytes.data(), got);
  loaded = index;
  return true;
}

void AdpcmDecoder::DecodeIma(const uint8_t *block, size_t size) {
  const int channels = info.channels;
  if (size < 4u * channels) return;
  ImaChannel state[2];
  for (int c = 0; c < channels; ++c) {
    state[c].predictor = Le16(block + 4 * c);
    state[c].index = std::min<int>(88, block[4 * c + 2]);
    pcm[c] = static_cast<int16_t>(state[c].predictor);
  }
  const uint8_t *p = block + 4 * channels, *end = block + size;
  const size_t frames = info.blockFrames;
  if (channels == 1) {
    for (size_t f = 1; f < frames && p < end; ++p) {
      pcm[f++] = state[0].Next(*p & 15);
      if (f < frames) pcm[f++] = state[0].Next(*p >> 4);
    }
    return;
  }
  // Stereo: four bytes (eight samples) of the left channel, then four of the right.
  for (size_t f = 1; f < frames && end - p >= 8; f += 8) {
    for (int c = 0; c < 2; ++c, p += 4) {
      for (size_t i = 0; i < 8 && f + i < frames; ++i) {
        int nibble = i & 1 ? p[i / 2] >> 4 : p[i / 2] & 15;
        pcm[2 * (f + i) + c] = state[c].Next(nibble);
      }
    }
  }
}

void AdpcmDecoder::DecodeMs(const uint8_t *block, size_t size) {
  const int channels = info.channels;
  if (size < 7u * channels) return;
  MsChannel state[2];
  const size_t pairs = info.coefficients.size() / 2;
  for (int c = 0; c < channels; ++c) {
    // A predictor number beyond the table takes the first pair.
    size_t predictor = block[c] < pairs ? block[c] : 0;
    state[c].c1 = info.coefficients[2 * predictor];
    state[c].c2 = info.coefficients[2 * predictor + 1];
    state[c].delta = std::min(kMaxMsDelta, std::max(16, static_cast<int>(Le16(block + channels + 2 * c))));
    state[c].s1 = Le16(block + 3 * channels + 2 * c);
    state[c].s2 = Le16(block + 5 * channels + 2 * c);
    // The header's older sample comes first.
    pcm[c] = static_cast<int16_t>(state[c].s2);
    pcm[channels + c] = static_cast<int16_t>(state[c].s1);
  }
  // Nibbles follow high first, alternating between the channels of stereo.
  size_t sample = 2 * channels;
  const size_t total = pcm.size();
  for (const uint8_t *p = block + 7 * channels; p < block + size && sample < total; ++p) {
    pcm[sample] = state[sample % channels].Next(*p >> 4);
    ++sample;
    if (sample < total) {
      pcm[sample] = state[sample % channels].Next(*p & 15);
      ++sample;
    }
  }
}

size_t AdpcmDecoder::Read(float *stereo, size_t frames) {
  size_t done = 0;
  while (done < frames && position < info.frames) {
    if (!Load(position / info.blockFrames)) break;  // the file shrank or failed under us: end here
    size_t first = static_cast<size_t>(position % info.blockFrames);
    size_t count = std::min<uint64_t>({frames - done, info.blockFrames - first, info.frames - position});
    for (size_t i = 0; i < count; ++i) {
      const int16_t *frame = &pcm[(first + i) * info.channels];
      stereo[2 * (done + i)] = frame[0] / 32768.0f;
      stereo[2 * (done + i) + 1] = frame[info.channels - 1] / 32768.0f;
    }
    done += count;
    position += count;
  }
  return done;
}

bool AdpcmDecoder::Seek(uint64_t frame) {
  position = frame < info.frames ? frame : info.frames;
  return true;
}

}  // namespace audio
