// The Vorbis comment header check on a real stream and on copies whose counts lie.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audiolib/OggHeaderCheck.h"
#include "tests/audiolib/BassTestFiles.h"

using audiotest::ReadFile;

namespace {

size_t CommentHeader(const std::vector<uint8_t> &bytes) {
  const char tag[] = "\x03vorbis";
  for (size_t i = 0; i + 7 <= bytes.size(); ++i)
    if (std::memcmp(bytes.data() + i, tag, 7) == 0) return i;
  return 0;
}

void Put32(std::vector<uint8_t> &bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t> &bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

TEST(VorbisCommentsFit, RealStreamsPass) {
  for (const char *name : {"tone-44100.ogg", "tone-22050-mono.ogg"}) {
    std::vector<uint8_t> bytes = ReadFile(name);
    ASSERT_GT(bytes.size(), 100u) << name;
    EXPECT_TRUE(audio::VorbisCommentsFit(bytes.data(), bytes.size())) << name;
  }
}

TEST(VorbisCommentsFit, CountsBeyondThePacketFail) {
  const std::vector<uint8_t> good = ReadFile("tone-44100.ogg");
  const size_t header = CommentHeader(good);
  ASSERT_GT(header, 0u);
  const size_t vendorAt = header + 7;
  const size_t countAt = vendorAt + 4 + Get32(good, vendorAt);
  struct Case {
    const char *what;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"vendor length of 4 GB", vendorAt, 0xFFFFFFFFu},
      {"vendor length of 2 GB", vendorAt, 0x80000000u},
      {"vendor length one past the packet", vendorAt, 1000000},
      {"a million comments", countAt, 1000000},
      {"comment count that wraps negative", countAt, 0xFFFFFFF0u},
  };
  for (const Case &c : cases) {
    std::vector<uint8_t> bytes = good;
    Put32(bytes, c.at, c.value);
    EXPECT_FALSE(audio::VorbisCommentsFit(bytes.data(), bytes.size())) << c.what;
  }
  // One comment that claims more text than follows.
  std::vector<uint8_t> bytes = good;
  Put32(bytes, countAt, 1);
  Put32(bytes, countAt + 4, 0x7FFFFFFF);
  EXPECT_FALSE(audio::VorbisCommentsFit(bytes.data(), bytes.size())) << "long comment";
}

TEST(VorbisCommentsFit, CutOrForeignFilesFail) {
  const std::vector<uint8_t> good = ReadFile("tone-44100.ogg");
  const size_t header = CommentHeader(good);
  for (size_t cut : {size_t(0), size_t(4), size_t(27), size_t(40), header, header + 9}) {
    EXPECT_FALSE(audio::VorbisCommentsFit(good.data(), cut)) << "cut at " << cut;
  }
  std::vector<uint8_t> bytes = good;
  bytes[0] = 'X';
  EXPECT_FALSE(audio::VorbisCommentsFit(bytes.data(), bytes.size())) << "no page magic";
  bytes = good;
  bytes[header] = 5;
  EXPECT_FALSE(audio::VorbisCommentsFit(bytes.data(), bytes.size())) << "second packet not comments";
}

}  // namespace
