// Rate conversion of decoded streams (WAV and Ogg Vorbis), native.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "audiolib/FileReader.h"
#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/OutputFormat.h"
#include "tests/audiolib/WavWriter.h"

using namespace audio;
using namespace audiotest;

namespace {

// The bytes must outlive the source.
std::unique_ptr<Source> OpenBytes(const std::vector<uint8_t> &bytes) {
  std::unique_ptr<Source> source;
  EXPECT_EQ(OpenStream(std::unique_ptr<Reader>(new MemoryReader(bytes.data(), bytes.size())), &source), kOk);
  return source;
}

std::vector<int16_t> ReadAll(Source &source) {
  std::vector<int16_t> out(static_cast<size_t>(source.Frames()) * 2 + 2000);
  size_t got = source.Read(out.data(), out.size() / 2);
  out.resize(got * 2);
  return out;
}

}  // namespace

TEST(Resampler, KeepsPitchLoudnessAndLengthAtEveryRate) {
  const uint32_t rates[] = {8000, 11025, 22050, 32000, 48000, 96000, 192000};
  for (uint32_t rate : rates) {
    WavSpec spec;
    spec.rate = rate;
    spec.channels = 1;
    spec.frames = rate;  // one second
    spec.frequency = 1000;
    std::vector<uint8_t> bytes = MakeWav(spec);
    auto source = OpenBytes(bytes);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Frames(), uint64_t{kOutputRate}) << rate;
    std::vector<int16_t> out = ReadAll(*source);
    ASSERT_EQ(out.size(), size_t{2 * kOutputRate}) << rate;
    // Away from the edges, where the filter sees silence beyond the ends.
    const int16_t *middle = out.data() + 2 * 2000;
    EXPECT_NEAR(ToneFrequency(middle, 40000, kOutputRate), 1000.0, 2.0) << rate;
    EXPECT_NEAR(Rms(middle, 40000), 0.5 * 32767 / std::sqrt(2.0), 300.0) << rate;
    EXPECT_EQ(out[2 * 3000], out[2 * 3000 + 1]) << "mono plays on both sides at " << rate;
  }
}

TEST(Resampler, DownsamplingFiltersOutWhatWouldAlias) {
  // 30 kHz at 96 kHz would fold back to 14.1 kHz at 44.1 kHz without a low-pass filter.
  WavSpec spec;
  spec.rate = 96000;
  spec.frames = 96000;
  spec.frequency = 30000;
  std::vector<uint8_t> bytes = MakeWav(spec);
  auto source = OpenBytes(bytes);
  ASSERT_TRUE(source);
  std::vector<int16_t> out = ReadAll(*source);
  EXPECT_LT(Rms(out.data() + 4000, 30000), 0.01 * 0.5 * 32767);
  // A tone under the cut-off passes.
  spec.frequency = 15000;
  bytes = MakeWav(spec);
  source = OpenBytes(bytes);
  out = ReadAll(*source);
  EXPECT_GT(Rms(out.data() + 4000, 30000), 0.9 * 0.5 * 32767 / std::sqrt(2.0));
}

TEST(Resampler, SeekingGivesTheSameSamplesAsPlayingThrough) {
  WavSpec spec;
  spec.rate = 22050;
  spec.frames = 22050;
  spec.frequency = 700;
  std::vector<uint8_t> bytes = MakeWav(spec);
  auto through = OpenBytes(bytes);
  std::vector<int16_t> all = ReadAll(*through);
  const uint64_t starts[] = {0, 1, 12345, 44099};
  for (uint64_t start : starts) {
    auto seeker = OpenBytes(bytes);
    seeker->Seek(start);
    std::vector<int16_t> part(2 * 100);
    size_t got = seeker->Read(part.data(), 100);
    ASSERT_EQ(got, std::min<size_t>(100, 44100 - start));
    for (size_t i = 0; i < got * 2; ++i) ASSERT_EQ(part[i], all[2 * start + i]) << start << " " << i;
  }
}

TEST(VorbisStream, DecodesLengthToneAndRate) {
  struct Case {
    const char *file;
    uint64_t frames;
    double frequency;
  } cases[] = {{"tone-44100.ogg", 88200, 1000}, {"tone-22050-mono.ogg", 66150, 440}};
  for (const Case &c : cases) {
    std::unique_ptr<FileReader> reader(new FileReader());
    ASSERT_TRUE(reader->Open(c.file, 0, 0)) << c.file;
    std::unique_ptr<Source> source;
    ASSERT_EQ(OpenStream(std::move(reader), &source), kOk) << c.file;
    EXPECT_EQ(source->Frames(), c.frames) << c.file;
    std::vector<int16_t> out = ReadAll(*source);
    EXPECT_EQ(out.size() / 2, c.frames) << c.file;
    EXPECT_NEAR(ToneFrequency(out.data() + 8000, 30000, kOutputRate), c.frequency, 2.0) << c.file;
    EXPECT_GT(Rms(out.data() + 8000, 30000), 8000) << c.file;
  }
}

TEST(VorbisStream, DamagedFilesFailCleanly) {
  std::ifstream in("tone-44100.ogg", std::ios::binary);
  std::vector<uint8_t> good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(good.size(), 1000u);
  std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 60);
  std::vector<uint8_t> garbled = good;
  for (size_t i = 100; i < 400; ++i) garbled[i] ^= 0x5A;
  std::unique_ptr<Source> source;
  EXPECT_NE(OpenStream(std::unique_ptr<Reader>(new MemoryReader(headerOnly.data(), headerOnly.size())), &source), kOk);
  EXPECT_NE(OpenStream(std::unique_ptr<Reader>(new MemoryReader(garbled.data(), garbled.size())), &source), kOk);
  const char text[] = "OggS but nothing else of the kind";
  EXPECT_EQ(OpenStream(std::unique_ptr<Reader>(new MemoryReader(text, sizeof text)), &source), kErrorFileForm);
  // Cut in the middle: it opens (the last whole page gives the length) and plays what is there.
  std::vector<uint8_t> half(good.begin(), good.begin() + good.size() / 2);
  if (OpenStream(std::unique_ptr<Reader>(new MemoryReader(half.data(), half.size())), &source) == kOk) {
    std::vector<int16_t> out = ReadAll(*source);
    EXPECT_LE(out.size() / 2, source->Frames());
  }
}
