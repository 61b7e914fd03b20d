// MP3 and WAV files made by Debian's encoders (make-streams.sh): each opens, its length agrees with
// mpg123's and sox's, and its sound with their decoding, from the start and after a seek. Damaged
// and fake MPEG streams fail cleanly or play what they hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "audiolib/FileReader.h"
#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/MpegHeader.h"
#include "audiolib/OutputFormat.h"

using namespace audio;

namespace {

const char kDir[] = "streams/";

struct Expected {
  uint64_t frames, tolerance;  // at the file's rate
};

struct Line {
  std::string name, reference;
  uint32_t rate = 0;
  std::vector<Expected> lengths;
};

std::vector<Line> ReadList() {
  std::vector<Line> lines;
  std::ifstream in(std::string(kDir) + "streams.txt");
  for (std::string text; std::getline(in, text);) {
    std::istringstream words(text);
    Line line;
    words >> line.name >> line.rate >> line.reference;
    for (std::string pair; words >> pair;) {
      size_t colon = pair.find(':');
      line.lengths.push_back({std::strtoull(pair.c_str(), nullptr, 10), std::strtoull(pair.c_str() + colon + 1, nullptr, 10)});
    }
    lines.push_back(line);
  }
  return lines;
}

AudioError Open(const std::string &name, std::unique_ptr<Source> *out) {
  std::unique_ptr<FileReader> reader(new FileReader());
  if (!reader->Open((kDir + name).c_str(), 0, 0)) return kErrorFileOpen;
  return OpenStream(std::move(reader), out);
}

// The largest difference between two sources' samples over `frames` frames from where they are.
int MaxDifference(Source &a, Source &b, size_t frames) {
  std::vector<int16_t> x(2 * frames), y(2 * frames);
  size_t n = std::min(a.Read(x.data(), frames), b.Read(y.data(), frames));
  int worst = n == frames ? 0 : 99999;
  for (size_t i = 0; i < 2 * n; ++i) worst = std::max(worst, std::abs(x[i] - y[i]));
  return worst;
}

}  // namespace

TEST(StreamFiles, LengthsAndSoundAgreeWithOtherDecoders) {
  std::vector<Line> lines = ReadList();
  ASSERT_GE(lines.size(), 29u) << "run make-streams.sh (the test fixture does)";
  for (const Line &line : lines) {
    SCOPED_TRACE(line.name);
    std::unique_ptr<Source> source;
    ASSERT_EQ(Open(line.name, &source), kOk);
    // Lengths in output frames, as the library reports them.
    for (const Expected &e : line.lengths) {
      double expected = static_cast<double>(e.frames) * kOutputRate / line.rate;
      double tolerance = static_cast<double>(e.tolerance) * kOutputRate / line.rate + 1;
      EXPECT_NEAR(static_cast<double>(source->Frames()), expected, tolerance);
    }
    if (line.reference == "-") continue;
    std::unique_ptr<Source> reference;
    ASSERT_EQ(Open(line.reference, &reference), kOk);
    // MPEG decoders differ in their last bit or so; the WAV codings decode to the same integers.
    const bool mpeg = line.name.find(".mp") != std::string::npos || line.name.find("wav-mpeg") == 0;
    const int allowed = mpeg ? 4 : 1;
    EXPECT_LE(MaxDifference(*source, *reference, 8192), allowed) << "from the start";
    uint64_t middle = std::min(source->Frames(), reference->Frames()) / 2 + 333;
    source->Seek(middle);
    reference->Seek(middle);
    EXPECT_LE(MaxDifference(*source, *reference, 4096), allowed) << "after seeking to " << middle;
  }
}

namespace {

std::vector<uint8_t> FileBytes(const std::string &name) {
  std::ifstream in(kDir + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

AudioError OpenBytes(const std::vector<uint8_t> &bytes, std::unique_ptr<Source> *out) {
  return OpenStream(std::unique_ptr<Reader>(new MemoryReader(bytes.data(), bytes.size())), out);
}

}  // namespace

TEST(StreamFiles, DamagedAndFakeMpegFailCleanlyOrPlayWhatIsThere) {
  const std::vector<uint8_t> mp3 = FileBytes("l3-notag-44100.mp3");
  ASSERT_GT(mp3.size(), 40000u);
  std::unique_ptr<Source> whole;
  ASSERT_EQ(OpenBytes(mp3, &whole), kOk);

  std::vector<uint8_t> noise(65536);
  uint32_t seed = 12345;
  for (uint8_t &b : noise) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  std::vector<uint8_t> id3Only = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
  id3Only.resize(20, 0);
  std::vector<uint8_t> oneHeader(mp3.begin(), mp3.begin() + 4);
  oneHeader.resize(2000, 0);  // a header, then nothing where the next frame should be
  std::vector<uint8_t> wavOfNoise = FileBytes("wav-mpeg3.wav");
  ASSERT_GT(wavOfNoise.size(), 1000u);
  std::fill(wavOfNoise.begin() + 100, wavOfNoise.end(), 0x55);
  struct Refused {
    const char *name;
    std::vector<uint8_t> bytes;
    AudioError expected;
  } refused[] = {
      {"empty", {}, kErrorFileForm},
      {"noise", noise, kErrorFileForm},
      {"only an ID3v2 tag", id3Only, kErrorFileForm},
      {"a lone header", oneHeader, kErrorFileForm},
      {"WAV with MPEG tag and other data", wavOfNoise, kErrorFormat},
  };
  for (const Refused &c : refused) {
    std::unique_ptr<Source> source;
    EXPECT_EQ(OpenBytes(c.bytes, &source), c.expected) << c.name;
  }

  // Cut in the middle of a frame: the frames before it play. Overwritten in the middle (less than
  // libmpg123's 1 KB of resynchronisation): it plays to its end, the damage as well as it can.
  std::vector<uint8_t> cut(mp3.begin(), mp3.begin() + mp3.size() / 2 + 77);
  std::vector<uint8_t> damaged = mp3;
  std::fill(damaged.begin() + damaged.size() / 2, damaged.begin() + damaged.size() / 2 + 300, 0xFF);
  for (const auto &bytes : {cut, damaged}) {
    std::unique_ptr<Source> source;
    ASSERT_EQ(OpenBytes(bytes, &source), kOk);
    EXPECT_GT(source->Frames(), whole->Frames() * (bytes.size() == cut.size() ? 4 : 8) / 10);
    EXPECT_LE(source->Frames(), whole->Frames());
    std::vector<int16_t> out(2 * 4096);
    uint64_t total = 0;
    for (size_t got = 1; got;) total += got = source->Read(out.data(), 4096);
    EXPECT_EQ(total, source->Frames());
  }
}

TEST(StreamFiles, ALengthIsWhatTheFileHoldsNotWhatItsHeadersClaim) {
  // A VBR file cut in half: its Xing tag still counts every frame of the whole.
  const std::vector<uint8_t> vbr = FileBytes("l3-vbr-44100.mp3");
  const std::vector<uint8_t> half(vbr.begin(), vbr.begin() + vbr.size() / 2);
  // A WAV file whose data chunk claims 4 GB.
  const std::vector<uint8_t> wav = FileBytes("ulaw-44100.wav");
  std::vector<uint8_t> claiming = wav;
  const char tag[] = "data";
  const size_t data = std::search(claiming.begin(), claiming.end(), tag, tag + 4) - claiming.begin();
  ASSERT_LT(data + 8, claiming.size());
  std::fill(claiming.begin() + data + 4, claiming.begin() + data + 8, 0xFF);
  std::unique_ptr<Source> wholeVbr, halfVbr, wholeWav, claimingWav;
  ASSERT_EQ(OpenBytes(vbr, &wholeVbr), kOk);
  ASSERT_EQ(OpenBytes(half, &halfVbr), kOk);
  ASSERT_EQ(OpenBytes(wav, &wholeWav), kOk);
  ASSERT_EQ(OpenBytes(claiming, &claimingWav), kOk);
  // Variable bit rates put a little more than half the frames into the first half of the bytes.
  EXPECT_LT(halfVbr->Frames(), wholeVbr->Frames() * 3 / 5);
  EXPECT_EQ(claimingWav->Frames(), wholeWav->Frames());
}

TEST(StreamFiles, VbriFrameIsLeftOut) {
  // A first frame as Fraunhofer's encoder writes it: the stream's header, silence, "VBRI" 32 bytes
  // after the header. The stream lasts as long as without it.
  const std::vector<uint8_t> mp3 = FileBytes("l3-notag-44100.mp3");
  ASSERT_GT(mp3.size(), 1000u);
  MpegHeader header;
  ASSERT_TRUE(ParseMpegHeader(mp3.data(), &header));
  std::vector<uint8_t> vbri(mp3.begin(), mp3.begin() + 4);
  vbri[2] &= ~0x02;  // no padding byte
  ASSERT_TRUE(ParseMpegHeader(vbri.data(), &header));
  vbri.resize(header.frameBytes, 0);
  const char tag[] = "VBRI";
  std::copy(tag, tag + 4, vbri.begin() + 36);
  vbri.insert(vbri.end(), mp3.begin(), mp3.end());
  std::unique_ptr<Source> plain, tagged;
  ASSERT_EQ(OpenBytes(mp3, &plain), kOk);
  ASSERT_EQ(OpenBytes(vbri, &tagged), kOk);
  EXPECT_EQ(tagged->Frames(), plain->Frames());
}
