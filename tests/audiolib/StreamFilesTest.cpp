// MP3 and WAV files made by Debian's encoders (make-streams.sh): each opens, its length agrees with
// mpg123's and sox's, and its sound with their decoding, from the start and after a seek.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "audiolib/FileReader.h"
#include "audiolib/Loader.h"
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
