// WAV parsing and sample conversion, native.
#include <gtest/gtest.h>

#include "audiolib/ChannelMix.h"
#include "audiolib/DecodedSource.h"
#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/WavDecoder.h"
#include "audiolib/WavParser.h"
#include "tests/audiolib/WavWriter.h"

using namespace audio;
using namespace audiotest;

namespace {

AudioError Parse(const std::vector<uint8_t> &bytes, WavInfo *info) {
  MemoryReader reader(bytes.data(), bytes.size());
  return ParseWav(reader, info);
}

// A "fmt " chunk of 16 bytes, or 18 and more with `extra` (its size first), and 64 bytes of data.
std::vector<uint8_t> WithFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t align,
                             const std::vector<uint8_t> &extra = {}, size_t dataBytes = 64) {
  std::vector<uint8_t> fmt;
  Put16(fmt, tag);
  Put16(fmt, channels);
  Put32(fmt, rate);
  Put32(fmt, rate * align);
  Put16(fmt, align);
  Put16(fmt, bits);
  if (!extra.empty()) {
    Put16(fmt, static_cast<uint32_t>(extra.size()));
    fmt.insert(fmt.end(), extra.begin(), extra.end());
  }
  return Riff({Chunk("fmt ", fmt, static_cast<uint32_t>(fmt.size())),
               Chunk("data", std::vector<uint8_t>(dataBytes, 0), static_cast<uint32_t>(dataBytes))});
}

// MS-ADPCM's extension: frames per block and `pairs` predictor pairs (the standard first one).
std::vector<uint8_t> MsExtra(uint16_t blockFrames, uint16_t pairs) {
  std::vector<uint8_t> extra;
  Put16(extra, blockFrames);
  Put16(extra, pairs);
  for (uint16_t i = 0; i < pairs; ++i) Put32(extra, 256);
  return extra;
}

std::vector<uint8_t> Extensible(uint16_t subTag, uint16_t bits = 16, uint16_t channels = 2, bool guid = true) {
  std::vector<uint8_t> fmt;
  Put16(fmt, 0xFFFE);
  Put16(fmt, channels);
  Put32(fmt, 44100);
  Put32(fmt, 44100 * channels * bits / 8);
  Put16(fmt, channels * bits / 8);
  Put16(fmt, bits);
  Put16(fmt, 22);      // extension size
  Put16(fmt, bits);    // valid bits
  Put32(fmt, 3);       // channel mask
  Put16(fmt, subTag);  // sub-format GUID, first two bytes
  const uint8_t rest[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, static_cast<uint8_t>(guid ? 0x71 : 0x72)};
  fmt.insert(fmt.end(), rest, rest + 14);
  return Riff({Chunk("fmt ", fmt, 40), Chunk("data", std::vector<uint8_t>(64, 0), 64)});
}

}  // namespace

TEST(WavParser, AcceptsPlayableFormats) {
  struct Case {
    uint32_t rate;
    uint16_t channels, bits;
  } cases[] = {{44100, 2, 16}, {22050, 1, 8}, {48000, 2, 24}, {8000, 1, 16}, {1000, 2, 8}, {384000, 1, 24}};
  for (const Case &c : cases) {
    WavSpec spec;
    spec.rate = c.rate;
    spec.channels = c.channels;
    spec.bits = c.bits;
    spec.frames = 300;
    WavInfo info;
    ASSERT_EQ(Parse(MakeWav(spec), &info), kOk) << c.rate << " " << c.channels << " " << c.bits;
    EXPECT_EQ(info.rate, c.rate);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(info.bits, c.bits);
    EXPECT_EQ(info.frames, 300u);
    EXPECT_EQ(info.dataOffset, 44u);
  }
}

TEST(WavParser, RefusesWhatItCannotPlay) {
  std::vector<uint8_t> good = MakeWav(WavSpec());
  std::vector<uint8_t> notRiff = good;
  notRiff[0] = 'X';
  std::vector<uint8_t> notWave = good;
  notWave[8] = 'A';
  WavSpec empty;
  empty.frames = 0;
  std::vector<uint8_t> fmtOnly = Riff({FmtChunk(WavSpec())});
  std::vector<uint8_t> dataOnly = Riff({Chunk("data", std::vector<uint8_t>(16, 1), 16)});
  std::vector<uint8_t> shortFmt = Riff({Chunk("fmt ", std::vector<uint8_t>(12, 1), 12), Chunk("data", {1, 2, 3, 4}, 4)});
  std::vector<uint8_t> halfFrame = Riff({FmtChunk(WavSpec()), Chunk("data", {1, 2, 3}, 3)});
  struct Case {
    const char *name;
    std::vector<uint8_t> bytes;
    AudioError expected;
  } cases[] = {
      {"empty file", {}, kErrorFileForm},
      {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 10), kErrorFileForm},
      {"not RIFF", notRiff, kErrorFileForm},
      {"not WAVE", notWave, kErrorFileForm},
      {"zero-length data", MakeWav(empty), kErrorFileForm},
      {"no data chunk", fmtOnly, kErrorFileForm},
      {"no fmt chunk", dataOnly, kErrorFileForm},
      {"fmt too short", shortFmt, kErrorFileForm},
      {"less than one frame", halfFrame, kErrorFileForm},
      {"16-bit float", WithFmt(3, 2, 44100, 16, 4), kErrorFormat},
      {"GSM 6.10", WithFmt(0x31, 1, 8000, 0, 65), kErrorFormat},
      {"33 channels", WithFmt(1, 33, 44100, 16, 66), kErrorFormat},
      {"16-bit A-law", WithFmt(6, 1, 8000, 16, 2), kErrorFormat},
      {"MPEG without data", WithFmt(0x55, 2, 44100, 0, 1, {}, 0), kErrorFileForm},
      {"IMA of 3 bits", WithFmt(0x11, 1, 22050, 3, 256), kErrorFormat},
      {"IMA of 3 channels", WithFmt(0x11, 3, 22050, 4, 256), kErrorFormat},
      {"IMA block shorter than its header", WithFmt(0x11, 2, 22050, 4, 6), kErrorFormat},
      {"IMA more frames than the block holds", WithFmt(0x11, 1, 22050, 4, 256, {0x02, 0x02}), kErrorFormat},
      {"MS-ADPCM without predictors", WithFmt(2, 1, 22050, 4, 256), kErrorFormat},
      {"MS-ADPCM predictor table cut", WithFmt(2, 1, 22050, 4, 256, {0xF4, 0x01, 0x07, 0x00}), kErrorFormat},
      {"MS-ADPCM more frames than the block holds", WithFmt(2, 1, 22050, 4, 256, MsExtra(501, 7)), kErrorFormat},
      {"extensible MS-ADPCM", Extensible(2, 4), kErrorFormat},
      {"extensible of an unknown GUID", Extensible(1, 16, 2, false), kErrorFormat},
      {"no channels", WithFmt(1, 0, 44100, 16, 2), kErrorFormat},
      {"12-bit", WithFmt(1, 2, 44100, 12, 3), kErrorFormat},
      {"32-bit integer", WithFmt(1, 2, 44100, 32, 8), kErrorFormat},
      {"rate 0", WithFmt(1, 2, 0, 16, 4), kErrorFormat},
      {"rate too low", WithFmt(1, 2, 999, 16, 4), kErrorFormat},
      {"rate absurd", WithFmt(1, 2, 4000000000u, 16, 4), kErrorFormat},
      {"block align wrong", WithFmt(1, 2, 44100, 16, 3), kErrorFormat},
      {"extensible float", Extensible(3), kErrorFormat},
  };
  for (const Case &c : cases) {
    WavInfo info;
    EXPECT_EQ(Parse(c.bytes, &info), c.expected) << c.name;
  }
}

TEST(WavParser, SkipsOddChunksAndCutsOversizedData) {
  WavSpec spec;
  spec.frames = 100;
  std::vector<uint8_t> data = ToneData(spec);
  // An odd-sized chunk before "fmt " is padded to an even length.
  std::vector<uint8_t> odd = Riff({Chunk("LIST", {1, 2, 3}, 3), FmtChunk(spec), Chunk("data", data, 400)});
  WavInfo info;
  ASSERT_EQ(Parse(odd, &info), kOk);
  EXPECT_EQ(info.frames, 100u);
  EXPECT_EQ(info.dataOffset, 12u + 12u + 24u + 8u);

  // A data chunk claiming 4 GB holds only what the file has, in whole frames.
  std::vector<uint8_t> huge = Riff({FmtChunk(spec), Chunk("data", data, 0xFFFFFFFFu)});
  huge.resize(huge.size() - 2);
  ASSERT_EQ(Parse(huge, &info), kOk);
  EXPECT_EQ(info.frames, 99u);

  ASSERT_EQ(Parse(Extensible(1), &info), kOk);
  EXPECT_EQ(info.frames, 16u);
}

TEST(WavParser, CountsFramesOfEveryCoding) {
  // 1000 data bytes each; ADPCM blocks of 256 bytes (three whole ones and a last one of 232).
  struct Case {
    const char *name;
    std::vector<uint8_t> bytes;
    WavCoding coding;
    uint64_t frames;
  } cases[] = {
      {"float 32", WithFmt(3, 2, 44100, 32, 8, {}, 1000), WavCoding::kFloat, 125},
      {"float 64 mono", WithFmt(3, 1, 44100, 64, 8, {}, 1000), WavCoding::kFloat, 125},
      {"extensible float", Extensible(3, 32), WavCoding::kFloat, 8},
      {"extensible 24-bit, 6 channels", Extensible(1, 24, 6), WavCoding::kPcm, 3},
      {"PCM, 3 channels", WithFmt(1, 3, 44100, 16, 6, {}, 1000), WavCoding::kPcm, 166},
      {"A-law", WithFmt(6, 2, 8000, 8, 2, {}, 1000), WavCoding::kALaw, 500},
      {"mu-law", WithFmt(7, 1, 8000, 8, 1, {}, 1000), WavCoding::kMuLaw, 1000},
      // IMA mono: 505 frames a block, the last (232 bytes) 1 + 228 * 2 frames.
      {"IMA mono", WithFmt(0x11, 1, 22050, 4, 256, {0xF9, 0x01}, 1000), WavCoding::kImaAdpcm, 3 * 505 + 457},
      // Frames per block left out: as many as the block holds.
      {"IMA mono, no extension", WithFmt(0x11, 1, 22050, 4, 256, {}, 1000), WavCoding::kImaAdpcm, 3 * 505 + 457},
      // IMA stereo: 249 frames a block, the last 1 + (232 - 8) rounded down to eights.
      {"IMA stereo", WithFmt(0x11, 2, 22050, 4, 256, {0xF9, 0x00}, 1000), WavCoding::kImaAdpcm, 3 * 249 + 1 + 224},
      // MS mono: 500 frames a block, the last 2 + (232 - 7) * 2 = 452.
      {"MS-ADPCM mono", WithFmt(2, 1, 22050, 4, 256, MsExtra(500, 7), 1000), WavCoding::kMsAdpcm, 3 * 500 + 452},
      {"MS-ADPCM stereo", WithFmt(2, 2, 22050, 4, 256, MsExtra(244, 7), 1000), WavCoding::kMsAdpcm, 3 * 244 + 2 + 218},
      {"MPEG layer III", WithFmt(0x55, 2, 44100, 0, 1, {}, 1000), WavCoding::kMpeg, 0},
      {"MPEG layers I and II", WithFmt(0x50, 2, 44100, 0, 1, {}, 1000), WavCoding::kMpeg, 0},
  };
  for (const Case &c : cases) {
    WavInfo info;
    ASSERT_EQ(Parse(c.bytes, &info), kOk) << c.name;
    EXPECT_EQ(info.coding, c.coding) << c.name;
    EXPECT_EQ(info.frames, c.frames) << c.name;
  }
  // An ADPCM file's "fact" chunk gives the frames coded, which leaves out the last block's filling.
  std::vector<uint8_t> fmt;
  Put16(fmt, 0x11), Put16(fmt, 1), Put32(fmt, 22050), Put32(fmt, 11100), Put16(fmt, 256), Put16(fmt, 4), Put16(fmt, 2), Put16(fmt, 505);
  std::vector<uint8_t> fact;
  Put32(fact, 1000);
  WavInfo info;
  ASSERT_EQ(Parse(Riff({Chunk("fmt ", fmt, 20), Chunk("fact", fact, 4), Chunk("data", std::vector<uint8_t>(512, 0), 512)}), &info), kOk);
  EXPECT_EQ(info.frames, 1000u);
}

TEST(WavDecoder, ConvertsSampleWidthsToTheOutputFormat) {
  // Each case: the raw bytes of one frame and the 16-bit stereo frame it must become.
  struct Case {
    uint16_t channels, bits;
    std::vector<uint8_t> frame;
    int16_t left, right;
  } cases[] = {
      {1, 8, {0x80}, 0, 0},
      {1, 8, {0x00}, -32768, -32768},
      {2, 8, {0xC0, 0x40}, 16384, -16384},
      {2, 16, {0x34, 0x12, 0xCC, 0xED}, 0x1234, -0x1234},
      {1, 16, {0x00, 0x80}, -32768, -32768},
      {2, 24, {0x81, 0x56, 0x34, 0x00, 0x00, 0x80}, 0x3457, -32768},
      {1, 24, {0xFF, 0xFF, 0x7F}, 32767, 32767},
  };
  for (const Case &c : cases) {
    WavSpec spec;
    spec.channels = c.channels;
    spec.bits = c.bits;
    std::vector<uint8_t> data;
    for (int i = 0; i < 8; ++i) data.insert(data.end(), c.frame.begin(), c.frame.end());
    std::vector<uint8_t> bytes = Riff({FmtChunk(spec), Chunk("data", data, static_cast<uint32_t>(data.size()))});
    std::unique_ptr<Source> source;
    ASSERT_EQ(OpenStream(std::unique_ptr<Reader>(new MemoryReader(bytes.data(), bytes.size())), &source), kOk);
    ASSERT_EQ(source->Frames(), 8u);
    int16_t out[16];
    ASSERT_EQ(source->Read(out, 8), 8u);
    EXPECT_EQ(out[14], c.left) << c.channels << "ch " << c.bits << "-bit";
    EXPECT_EQ(out[15], c.right) << c.channels << "ch " << c.bits << "-bit";
  }
}

TEST(WavDecoder, SixteenBitAtOutputRateIsBitExactAndSeekable) {
  WavSpec spec;
  spec.frames = 5000;
  spec.frequency = 440;
  std::vector<uint8_t> bytes = MakeWav(spec);
  std::unique_ptr<Source> source;
  ASSERT_EQ(OpenStream(std::unique_ptr<Reader>(new MemoryReader(bytes.data(), bytes.size())), &source), kOk);
  std::vector<int16_t> out(2 * 6000);
  ASSERT_EQ(source->Read(out.data(), 6000), 5000u);  // short read: the end
  for (uint64_t f = 0; f < 5000; ++f) ASSERT_EQ(out[2 * f], ToneSample(spec, f)) << f;
  source->Seek(1234);
  ASSERT_EQ(source->Read(out.data(), 10), 10u);
  EXPECT_EQ(out[0], ToneSample(spec, 1234));
  EXPECT_EQ(out[18], ToneSample(spec, 1243));
}

TEST(ChannelMix, FoldsSpeakersIntoStereo) {
  const float c = 0.70710678f;
  struct Case {
    const char *name;
    uint16_t channels;
    uint32_t mask;
    std::vector<float> in;
    float left, right;
  } cases[] = {
      {"mono", 1, 0, {0.5f}, 0.5f, 0.5f},
      {"stereo", 2, 0, {0.5f, -0.25f}, 0.5f, -0.25f},
      {"mono marked front left plays on both", 1, 0x1, {0.5f}, 0.5f, 0.5f},
      // 5.1 in the usual order: FL FR FC LFE BL BR; the LFE is left out, each side sums to one.
      {"5.1 front left", 6, 0, {1, 0, 0, 0, 0, 0}, 1 / (2 + c), 0},
      {"5.1 centre", 6, 0, {0, 0, 1, 0, 0, 0}, c / (2 + c), c / (2 + c)},
      {"5.1 LFE", 6, 0, {0, 0, 0, 1, 0, 0}, 0, 0},
      {"5.1 all at full scale", 6, 0, {1, -1, 1, 1, 1, -1}, 1, (c - 2) / (2 + c)},
      // Channels beyond the mask go to both sides like a centre speaker.
      {"quad with a stereo mask", 4, 0x3, {0, 0, 1, 1}, 2 * c / (1 + 2 * c), 2 * c / (1 + 2 * c)},
  };
  for (const Case &t : cases) {
    ChannelMix mix(t.channels, t.mask);
    float out[2];
    mix.Mix(t.in.data(), out);
    EXPECT_NEAR(out[0], t.left, 1e-6) << t.name;
    EXPECT_NEAR(out[1], t.right, 1e-6) << t.name;
  }
}
