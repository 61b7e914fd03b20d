#include "audiolib/Resampler.h"

#include <algorithm>
#include <cmath>

#include "audiolib/OutputFormat.h"

namespace audio {

namespace {

constexpr int kPhases = 256;
constexpr int kZeroCrossings = 8;  // per side, at the cut-off
constexpr double kPi = 3.14159265358979323846;

double Kernel(double x, double cutoff, double halfWidth) {
  if (std::fabs(x) >= halfWidth) return 0.0;
  double sinc = x == 0.0 ? 1.0 : std::sin(kPi * cutoff * x) / (kPi * cutoff * x);
  double w = 0.5 + 0.5 * (x / halfWidth);  // Blackman window over [-halfWidth, halfWidth]
  double window = 0.42 - 0.5 * std::cos(2 * kPi * w) + 0.08 * std::cos(4 * kPi * w);
  return cutoff * sinc * window;
}

}  // namespace

Resampler::Resampler(uint32_t inRate) : inRate(inRate) {
  if (inRate == kOutputRate) return;
  double cutoff = 0.95 * std::min(1.0, static_cast<double>(kOutputRate) / inRate);
  halfWidth = static_cast<int>(std::ceil(kZeroCrossings / cutoff));
  const int taps = 2 * halfWidth;
  table.resize(static_cast<size_t>(kPhases + 1) * taps);
  for (int p = 0; p <= kPhases; ++p) {
    float *row = &table[static_cast<size_t>(p) * taps];
    double sum = 0;
    for (int k = 0; k < taps; ++k) {
      row[k] = static_cast<float>(Kernel((k - halfWidth + 1) - static_cast<double>(p) / kPhases, cutoff, halfWidth));
      sum += row[k];
    }
    for (int k = 0; k < taps; ++k) row[k] = static_cast<float>(row[k] / sum);  // unity gain at DC
  }
}

void Resampler::Reset(Decoder &decoder, uint64_t frame) {
  outFrame = frame;
  inputEnded = false;
  inputEnd = 0;
  buffer.clear();
  if (inRate == kOutputRate) {
    decoder.Seek(frame);
    return;
  }
  int64_t centre = static_cast<int64_t>(frame * inRate / kOutputRate);
  bufferFirst = centre - halfWidth + 1;
  if (bufferFirst < 0) {
    buffer.assign(static_cast<size_t>(-bufferFirst) * 2, 0.0f);
    decoder.Seek(0);
  } else {
    decoder.Seek(static_cast<uint64_t>(bufferFirst));
  }
}

// Makes sure the buffer reaches input frame `last`, padding with silence after the end.
void Resampler::Fill(Decoder &decoder, int64_t last) {
  int64_t have = bufferFirst + static_cast<int64_t>(buffer.size() / 2);
  if (last < have) return;
  size_t need = static_cast<size_t>(last - have + 1);
  size_t old = buffer.size();
  buffer.resize(old + need * 2, 0.0f);
  if (!inputEnded) {
    size_t got = decoder.Read(&buffer[old], need);
    if (got < need) {
      inputEnded = true;
      inputEnd = have + static_cast<int64_t>(got);
    }
  }
}

size_t Resampler::Render(Decoder &decoder, float *out, size_t frames) {
  if (frames == 0) return 0;
  if (inRate == kOutputRate) {
    size_t got = inputEnded ? 0 : decoder.Read(out, frames);
    if (got < frames) {
      inputEnded = true;
      std::fill(out + 2 * got, out + 2 * frames, 0.0f);
    }
    outFrame += frames;
    return got;
  }
  const uint64_t firstOut = outFrame;
  const int taps = 2 * halfWidth;
  uint64_t lastOut = outFrame + frames - 1;
  Fill(decoder, static_cast<int64_t>(lastOut * inRate / kOutputRate) + halfWidth);
  for (size_t i = 0; i < frames; ++i, ++outFrame) {
    uint64_t scaled = outFrame * inRate;
    int64_t centre = static_cast<int64_t>(scaled / kOutputRate);
    double frac = static_cast<double>(scaled % kOutputRate) / kOutputRate * kPhases;
    int phase = static_cast<int>(frac);
    float mix = static_cast<float>(frac - phase);
    const float *row0 = &table[static_cast<size_t>(phase) * taps];
    const float *row1 = row0 + taps;
    const float *in = &buffer[static_cast<size_t>(centre - halfWidth + 1 - bufferFirst) * 2];
    float left = 0, right = 0;
    for (int k = 0; k < taps; ++k) {
      float c = row0[k] + (row1[k] - row0[k]) * mix;
      left += c * in[2 * k];
      right += c * in[2 * k + 1];
    }
    out[2 * i] = left;
    out[2 * i + 1] = right;
  }
  // Drop input that no later output frame reaches.
  int64_t keepFrom = static_cast<int64_t>(outFrame * inRate / kOutputRate) - halfWidth + 1;
  if (keepFrom > bufferFirst) {
    size_t drop = std::min(buffer.size() / 2, static_cast<size_t>(keepFrom - bufferFirst));
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(drop * 2));
    bufferFirst += static_cast<int64_t>(drop);
  }
  if (!inputEnded) return frames;
  // Output frames whose centre lies before the decoder's end carry its sound; the rest is the
  // filter ringing out into silence.
  const uint64_t ends = inputEnd > 0 ? (static_cast<uint64_t>(inputEnd) * kOutputRate + inRate - 1) / inRate : 0;
  return ends > firstOut ? static_cast<size_t>(std::min<uint64_t>(ends - firstOut, frames)) : 0;
}

}  // namespace audio
