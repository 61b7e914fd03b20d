// Files that lie about themselves or pass for something else: a stream lasts as long as its data,
// whatever its header claims, and a stream offered to the module loader is refused before libxmp
// looks at it. Native.
#include <gtest/gtest.h>

#include <cstring>

#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/ModuleSource.h"
#include "tests/audiolib/BassTestFiles.h"

using namespace audio;
using namespace audiotest;

namespace {

// Ogg's page checksum: CRC-32, polynomial 0x04C11DB7, unreflected, over the page with its own
// checksum field zeroed.
uint32_t OggCrc(const uint8_t *bytes, size_t size) {
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    crc ^= static_cast<uint32_t>(bytes[i]) << 24;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? crc << 1 ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

// The stream with its last page's granule position (the length it claims) replaced, and that
// page's checksum made good again, as a crafted file would have it.
std::vector<uint8_t> WithLastGranule(std::vector<uint8_t> bytes, uint64_t granule) {
  size_t page = bytes.size() - 4;
  while (page > 0 && std::memcmp(&bytes[page], "OggS", 4) != 0) --page;
  size_t end = page + 27 + bytes[page + 26];
  for (size_t s = 0; s < bytes[page + 26]; ++s) end += bytes[page + 27 + s];
  for (int i = 0; i < 8; ++i) bytes[page + 6 + i] = static_cast<uint8_t>(granule >> (8 * i));
  std::fill(&bytes[page + 22], &bytes[page + 26], 0);
  uint32_t crc = OggCrc(&bytes[page], end - page);
  for (int i = 0; i < 4; ++i) bytes[page + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
  return bytes;
}

AudioError OpenStreamBytes(const std::vector<uint8_t> &bytes, std::unique_ptr<Source> *out) {
  return OpenStream(std::unique_ptr<Reader>(new MemoryReader(bytes.data(), bytes.size())), out);
}

AudioError OpenModuleBytes(const std::vector<uint8_t> &bytes) {
  MemoryReader reader(bytes.data(), bytes.size());
  std::unique_ptr<Source> source;
  return OpenModule(reader, &source);
}

// MPEG-1 layer III frames at 128 kbit/s, 44.1 kHz (417 bytes each) holding silence.
std::vector<uint8_t> SilentMpegFrames(int count) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < count; ++i) {
    const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x00};
    bytes.insert(bytes.end(), header, header + 4);
    bytes.resize(bytes.size() + 413, 0);
  }
  return bytes;
}

// A four-channel "M.K." module of one empty pattern and no samples, with the given title.
std::vector<uint8_t> EmptyMod(const std::vector<uint8_t> &title) {
  std::vector<uint8_t> mod(1084 + 1024, 0);
  std::copy(title.begin(), title.end(), mod.begin());
  mod[950] = 1;  // one position in the song
  std::memcpy(&mod[1080], "M.K.", 4);
  return mod;
}

}  // namespace

TEST(HostileFiles, AStreamEndsWhereItsDataEndsWhateverItsHeaderClaims) {
  for (const char *name : {"tone-44100.ogg", "tone-22050-mono.ogg"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = ReadFile(name);
    std::unique_ptr<Source> honest, lying;
    ASSERT_EQ(OpenStreamBytes(bytes, &honest), kOk);
    const uint64_t frames = honest->Frames();
    // 0xFFFFFFF0 samples: 27 hours at 44.1 kHz.
    const std::vector<uint8_t> crafted = WithLastGranule(bytes, 0xFFFFFFF0u);
    ASSERT_EQ(OpenStreamBytes(crafted, &lying), kOk);
    EXPECT_LE(lying->Frames(), frames * 5 / 4) << "what the file's packets can hold";
    std::vector<int16_t> block(2 * 4096);
    uint64_t played = 0;
    for (size_t got = 4096; got == 4096 && played < 2 * frames;) played += got = lying->Read(block.data(), 4096);
    EXPECT_NEAR(static_cast<double>(played), static_cast<double>(frames), frames / 50.0) << "no silence after the data";
    EXPECT_EQ(lying->Frames(), played) << "the length is where the data ended";
  }
}

TEST(HostileFiles, StreamsAreToldFromModulesByTheirFirstBytes) {
  WavSpec spec;
  spec.frames = 1000;
  const std::vector<uint8_t> wav = MakeWav(spec);
  std::vector<uint8_t> loneHeader = SilentMpegFrames(1);
  loneHeader.resize(2000, 0x11);
  struct Case {
    const char *name;
    std::vector<uint8_t> bytes;
    bool stream;
  } cases[] = {
      {"WAV", wav, true},
      {"Ogg", ReadFile("tone-44100.ogg"), true},
      {"FLAC", {'f', 'L', 'a', 'C', 0, 0, 0, 34}, true},
      {"ID3-tagged", {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0}, true},
      {"two MPEG frames", SilentMpegFrames(2), true},
      {"one MPEG sync word", loneHeader, false},
      {"RIFF that is not WAVE", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'M', 'F', 'F'}, false},
      {"IT module", ReadFile("test.it"), false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(ModuleSource::PlainlyStream(c.bytes.data(), c.bytes.size()), c.stream) << c.name;
}

TEST(HostileFiles, AStreamThatPassesForAModuleIsRefusedAsOneAndPlaysAsAStream) {
  // Silence at the start, and "M.K." where a Protracker module has its mark (byte 1080): libxmp
  // takes either file for a module of empty patterns.
  WavSpec quiet;
  quiet.amplitude = 0;
  quiet.frames = 2000;
  std::vector<uint8_t> wav = MakeWav(quiet);
  std::vector<uint8_t> mp3 = SilentMpegFrames(8);
  for (std::vector<uint8_t> *bytes : {&wav, &mp3}) std::memcpy(&(*bytes)[1080], "M.K.", 4);
  for (const auto &bytes : {wav, mp3}) {
    EXPECT_EQ(OpenModuleBytes(bytes), kErrorFileForm);
    std::unique_ptr<Source> stream;
    EXPECT_EQ(OpenStreamBytes(bytes, &stream), kOk);
  }
  // A module whose title starts with an MPEG sync word is still a module.
  EXPECT_EQ(OpenModuleBytes(EmptyMod({0xFF, 0xFB, 0x90, 0x00, 'h', 'i'})), kOk);
}
