// Modules through libxmp: length, one play-through, seeking and refusal of non-modules, native.
#include <gtest/gtest.h>


#include <xmp.h>

#include "audiolib/Loader.h"
#include "audiolib/ModuleSource.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/OutputFormat.h"
#include "tests/audiolib/BassTestFiles.h"

using namespace audio;
using namespace audiotest;

namespace {

std::unique_ptr<Source> Load(const std::vector<uint8_t> &bytes, AudioError *error) {
  MemoryReader reader(bytes.data(), bytes.size());
  std::unique_ptr<Source> source;
  *error = OpenModule(reader, &source);
  return source;
}

}  // namespace

TEST(ModuleSource, PlaysTheSongOnceForItsLength) {
  std::vector<uint8_t> bytes = ReadFile("test.it");
  ASSERT_GT(bytes.size(), 1000u);
  AudioError error;
  auto module = Load(bytes, &error);
  ASSERT_EQ(error, kOk);
  const uint64_t length = module->Frames();
  EXPECT_GT(length, uint64_t{kOutputRate}) << "longer than a second";
  EXPECT_GT(module->Orders(), 0u);

  // Render until the source says it has ended; it must not loop back and go on.
  std::vector<int16_t> block(2 * 4096);
  uint64_t total = 0;
  double loudest = 0;
  for (int i = 0; i < 10000; ++i) {
    size_t got = module->Read(block.data(), 4096);
    total += got;
    loudest = std::max(loudest, Rms(block.data(), got));
    if (got < 4096) break;
  }
  EXPECT_GT(loudest, 100.0) << "not silent";
  EXPECT_NEAR(static_cast<double>(total), static_cast<double>(length), 0.05 * length + kOutputRate / 10);
  EXPECT_EQ(module->Read(block.data(), 4096), 0u) << "stays ended";
}

TEST(ModuleSource, PlaysEveryKindOfModuleMadeByTheSeedGenerator) {
  // make-modules.py: one song of about six seconds as MOD, XM, S3M and IT.
  for (const char *name : {"modules/seed.mod", "modules/seed.xm", "modules/seed.s3m", "modules/seed.it"}) {
    AudioError error;
    auto module = Load(ReadFile(name), &error);
    ASSERT_EQ(error, kOk) << name;
    EXPECT_GT(module->Frames(), 4u * kOutputRate) << name;
    EXPECT_LT(module->Frames(), 10u * kOutputRate) << name;
    std::vector<int16_t> block(2 * kOutputRate);
    EXPECT_GT(Rms(block.data(), module->Read(block.data(), kOutputRate)), 100.0) << name;
  }
}

TEST(ModuleSource, SeeksToTheFrameAsked) {
  AudioError error;
  auto module = Load(ReadFile("test.it"), &error);
  ASSERT_EQ(error, kOk);
  const uint64_t length = module->Frames();
  const uint64_t targets[] = {length / 2, kOutputRate, 0};
  std::vector<int16_t> block(2 * 4096);
  for (uint64_t target : targets) {
    module->Seek(target);
    uint64_t rest = 0;
    for (size_t got = 4096; got == 4096;) rest += got = module->Read(block.data(), 4096);
    // What is left after the seek is the length from there on.
    EXPECT_NEAR(static_cast<double>(rest), static_cast<double>(length - target), 0.05 * length + kOutputRate / 10)
        << target;
  }
}

TEST(ModuleSource, RefusesWhatIsNotAModule) {
  WavSpec spec;
  spec.frames = 1000;
  std::vector<uint8_t> wav = MakeWav(spec);
  std::vector<uint8_t> ogg = ReadFile("tone-44100.ogg");
  std::vector<uint8_t> it = ReadFile("test.it");
  std::vector<uint8_t> truncated(it.begin(), it.begin() + 200);
  std::vector<uint8_t> text(3000, 'a');
  struct Case {
    const char *name;
    std::vector<uint8_t> bytes;
  } cases[] = {{"WAV", wav}, {"Ogg", ogg}, {"IT cut to 200 bytes", truncated}, {"text", text}, {"one byte", {0}}};
  for (const Case &c : cases) {
    AudioError error;
    EXPECT_FALSE(Load(c.bytes, &error)) << c.name;
    EXPECT_EQ(error, kErrorFileForm) << c.name;
  }
  MemoryReader empty(nullptr, 0);
  std::unique_ptr<Source> source;
  EXPECT_EQ(OpenModule(empty, &source), kErrorFileForm);
}

TEST(ModuleSource, DropsEnvelopePointsOutsideTheEnvelope) {
  const int all = XMP_ENVELOPE_ON | XMP_ENVELOPE_SUS | XMP_ENVELOPE_LOOP | XMP_ENVELOPE_SLOOP;
  // Each case: points, sustain start/end, loop start/end, and the flags left afterwards.
  struct Case {
    int npt, sus, sue, lps, lpe, flags;
  } cases[] = {
      {4, 1, 2, 0, 3, all},
      {4, 1, 4, 0, 3, all & ~(XMP_ENVELOPE_SUS | XMP_ENVELOPE_SLOOP)},
      {4, -1, 2, 0, 3, all & ~(XMP_ENVELOPE_SUS | XMP_ENVELOPE_SLOOP)},
      {4, 1, 2, 0, 200, all & ~XMP_ENVELOPE_LOOP},
      {0, 0, 0, 0, 0, XMP_ENVELOPE_ON},
      {99, 31, 31, 31, 40, all & ~XMP_ENVELOPE_LOOP},  // more points than an envelope holds
  };
  for (const Case &c : cases) {
    xmp_instrument instrument = {};
    for (xmp_envelope *env : {&instrument.aei, &instrument.pei, &instrument.fei}) {
      env->flg = all;
      env->npt = c.npt;
      env->sus = c.sus;
      env->sue = c.sue;
      env->lps = c.lps;
      env->lpe = c.lpe;
    }
    xmp_module mod = {};
    mod.ins = 1;
    mod.xxi = &instrument;
    ModuleSource::CheckEnvelopes(&mod);
    EXPECT_EQ(instrument.aei.flg, c.flags) << c.npt << " " << c.sue << " " << c.lpe;
    EXPECT_EQ(instrument.fei.flg, c.flags);
    EXPECT_LE(instrument.pei.npt, XMP_MAX_ENV_POINTS);
  }
}
