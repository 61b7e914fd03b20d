// Channel bookkeeping, mixing and end notifications of the engine, native.
#include <gtest/gtest.h>

#include <new>

#include "audiolib/Engine.h"
#include "audiolib/OutputFormat.h"
#include "tests/audiolib/RampSource.h"

using namespace audio;
using audiotest::RampSource;

namespace {

// A source that runs out of memory whenever it is read.
class StarvedSource : public Source {
public:
  size_t Read(int16_t *, size_t) override { throw std::bad_alloc(); }
  void Seek(uint64_t) override {}
  uint64_t Frames() const override { return kOutputRate; }
};

void Proc() {}
void OtherProc() {}

uint32_t AddRamp(Engine &engine, uint64_t frames, int16_t level = 100) {
  return engine.Add(std::unique_ptr<Source>(new RampSource(frames, level)), Engine::Kind::Stream);
}

std::vector<int16_t> Render(Engine &engine, size_t frames) {
  std::vector<int16_t> out(frames * 2);
  engine.Render(out.data(), frames);
  return out;
}

}  // namespace

TEST(Engine, ReportsAnEndOnceWhenTheMixingReachesIt) {
  Engine engine;
  uint32_t ch = AddRamp(engine, 1500);
  uint32_t sync = 0;
  ASSERT_EQ(engine.AddSync(ch, &Proc, 77, &sync), kOk);
  ASSERT_EQ(engine.Play(ch, false), kOk);
  EXPECT_EQ(Render(engine, 1000).size(), 2000u);
  std::vector<SyncCall> calls;
  engine.TakeEnds(&calls);
  EXPECT_TRUE(calls.empty()) << "not at the end yet";
  std::vector<int16_t> out(2000);
  EXPECT_EQ(engine.Render(out.data(), 1000), 500u) << "mixing stops where the last channel ends";
  EXPECT_EQ(engine.Mixed(), 1500u);
  engine.TakeEnds(&calls);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].sync, sync);
  EXPECT_EQ(calls[0].channel, ch);
  EXPECT_EQ(calls[0].user, 77u);
  EXPECT_EQ(calls[0].proc, &Proc);
  calls.clear();
  EXPECT_EQ(engine.Render(out.data(), 1000), 0u);
  engine.TakeEnds(&calls);
  EXPECT_TRUE(calls.empty()) << "an ended channel ends only once";
  uint64_t position = 0;
  ASSERT_EQ(engine.Position(ch, engine.Mixed(), &position), kOk);
  EXPECT_EQ(position, 1500u);
}

TEST(Engine, AnEndBeforeAnyProcedureIsReportedOnceOneIsSet) {
  Engine engine;
  uint32_t ch = AddRamp(engine, 10);
  engine.Play(ch, false);
  Render(engine, 100);
  std::vector<SyncCall> calls;
  engine.TakeEnds(&calls);
  EXPECT_TRUE(calls.empty());
  uint32_t sync = 0;
  ASSERT_EQ(engine.AddSync(ch, &Proc, 5, &sync), kOk);
  engine.TakeEnds(&calls);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].user, 5u);
  engine.TakeEnds(&calls);
  EXPECT_EQ(calls.size(), 1u);
}

TEST(Engine, EveryRegisteredProcedureIsCalled) {
  Engine engine;
  uint32_t ch = AddRamp(engine, 10);
  uint32_t a = 0, b = 0;
  engine.AddSync(ch, &Proc, 1, &a);
  engine.AddSync(ch, &OtherProc, 2, &b);
  EXPECT_NE(a, b);
  engine.Play(ch, false);
  Render(engine, 100);
  std::vector<SyncCall> calls;
  engine.TakeEnds(&calls);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].proc, &Proc);
  EXPECT_EQ(calls[1].proc, &OtherProc);
}

TEST(Engine, FreeCancelsPendingEnds) {
  Engine engine;
  uint32_t ch = AddRamp(engine, 10);
  uint32_t sync = 0;
  engine.AddSync(ch, &Proc, 0, &sync);
  engine.Play(ch, false);
  Render(engine, 100);
  ASSERT_EQ(engine.Free(ch), kOk);
  std::vector<SyncCall> calls;
  engine.TakeEnds(&calls);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(engine.Free(ch), kErrorHandle);
}

TEST(Engine, ClearStartsCountingAgainForANewDevice) {
  Engine engine;
  uint32_t old = AddRamp(engine, 10);
  engine.Play(old, false);
  Render(engine, 5000);
  engine.Clear();
  EXPECT_FALSE(engine.Has(old));
  EXPECT_EQ(engine.Mixed(), 0u);
  uint32_t ch = AddRamp(engine, 10);
  uint32_t sync = 0;
  engine.AddSync(ch, &Proc, 0, &sync);
  engine.Play(ch, false);
  Render(engine, 100);
  EXPECT_EQ(engine.Mixed(), 10u) << "the new device's frames";
  uint64_t gap = 0;
  EXPECT_FALSE(engine.TakeGap(&gap)) << "nothing ended before on this device";
  std::vector<SyncCall> calls;
  engine.TakeEnds(&calls);
  EXPECT_EQ(calls.size(), 1u);
}

TEST(Engine, PositionAtOrPastTheEndEndsTheChannelOnce) {
  const uint64_t targets[] = {1000, 1001, ~0ull};
  for (uint64_t target : targets) {
    Engine engine;
    uint32_t ch = AddRamp(engine, 1000);
    uint32_t sync = 0;
    engine.AddSync(ch, &Proc, 0, &sync);
    engine.Play(ch, false);
    Render(engine, 200);
    ASSERT_EQ(engine.SetPosition(ch, target), kOk);
    ASSERT_EQ(engine.SetPosition(ch, target), kOk);  // already ended: no second end
    std::vector<SyncCall> calls;
    engine.TakeEnds(&calls);
    EXPECT_EQ(calls.size(), 1u) << target;
    std::vector<int16_t> out(20);
    EXPECT_EQ(engine.Render(out.data(), 10), 0u) << "an ended channel is silent";
  }
}

TEST(Engine, SeekingMovesTheChannel) {
  Engine engine;
  uint32_t ch = AddRamp(engine, 100000);
  engine.Play(ch, false);
  Render(engine, 10);
  ASSERT_EQ(engine.SetPosition(ch, 5000), kOk);
  std::vector<int16_t> out = Render(engine, 10);
  EXPECT_EQ(out[0], 5000);
  uint64_t position = 0;
  engine.Position(ch, engine.Mixed(), &position);
  EXPECT_EQ(position, 5010u);
}

TEST(Engine, PauseAndResumeLoseAndRepeatNothing) {
  Engine engine;
  uint32_t ch = AddRamp(engine, 100000);
  engine.Play(ch, false);
  std::vector<int16_t> heard;
  auto take = [&](size_t frames) {
    std::vector<int16_t> out = Render(engine, frames);
    for (size_t i = 0; i < frames; ++i)
      if (out[2 * i + 1] != 0) heard.push_back(out[2 * i]);
  };
  take(300);
  ASSERT_EQ(engine.Pause(ch), kOk);
  EXPECT_EQ(engine.Pause(ch), kErrorNoPlay);
  take(500);
  ASSERT_EQ(engine.Resume(ch), kOk);
  EXPECT_EQ(engine.Resume(ch), kErrorNoPlay);
  take(300);
  ASSERT_EQ(heard.size(), 600u);
  for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], static_cast<int16_t>(i)) << i;
}

TEST(Engine, PlayingAnEndedChannelStartsItAgain) {
  Engine engine;
  uint32_t ch = AddRamp(engine, 50);
  uint32_t sync = 0;
  engine.AddSync(ch, &Proc, 0, &sync);
  engine.Play(ch, false);
  Render(engine, 100);
  ASSERT_EQ(engine.Play(ch, false), kOk);
  std::vector<int16_t> out = Render(engine, 100);
  EXPECT_EQ(out[2 * 10], 10);
  std::vector<SyncCall> calls;
  engine.TakeEnds(&calls);
  EXPECT_EQ(calls.size(), 2u) << "one end per time it played through";
}

TEST(Engine, RewindMixesAgainFromWhereEachChannelWas) {
  Engine engine;
  uint32_t a = AddRamp(engine, 100000);
  uint32_t b = AddRamp(engine, 100000);
  engine.Play(a, false);
  Render(engine, 300);
  engine.Play(b, false);
  Render(engine, 300);
  uint64_t position = 0;
  engine.Position(a, 100, &position);
  EXPECT_EQ(position, 100u) << "where a is when mixed frame 100 is heard";
  engine.Position(b, 100, &position);
  EXPECT_EQ(position, 0u) << "b's sound comes later";
  engine.Rewind(450);
  EXPECT_EQ(engine.Mixed(), 450u);
  engine.Position(b, 450, &position);
  EXPECT_EQ(position, 150u);
  std::vector<int16_t> out = Render(engine, 10);
  EXPECT_EQ(out[0], 450 + 150) << "a at 450 and b at 150, mixed";
}

TEST(Engine, CountsTheSilenceMixedBetweenAnEndAndTheNextChannel) {
  const size_t pads[] = {0, 300};
  for (size_t pad : pads) {
    Engine engine;
    uint32_t a = AddRamp(engine, 1000);
    engine.Play(a, false);
    std::vector<int16_t> out(3000);
    EXPECT_EQ(engine.Render(out.data(), 1500), 1000u);
    engine.Pad(pad);
    uint64_t gap = 99;
    EXPECT_FALSE(engine.TakeGap(&gap)) << "no channel followed yet";
    engine.Play(AddRamp(engine, 1000), false);
    Render(engine, 100);
    ASSERT_TRUE(engine.TakeGap(&gap)) << pad;
    EXPECT_EQ(gap, pad);
    EXPECT_FALSE(engine.TakeGap(&gap)) << "told once";
  }
}

TEST(Engine, MixesChannelsAndClipsTheSum) {
  Engine engine;
  uint32_t a = AddRamp(engine, 100, 30000);
  uint32_t b = AddRamp(engine, 100, 30000);
  uint32_t c = AddRamp(engine, 100, -1000);
  engine.Play(a, false);
  engine.Play(c, false);
  std::vector<int16_t> out = Render(engine, 10);
  EXPECT_EQ(out[1], 29000);
  EXPECT_EQ(out[2 * 5], 10) << "left: 5 + 5";
  engine.Play(b, false);
  out = Render(engine, 10);
  EXPECT_EQ(out[1], 32767);
}

TEST(Engine, HandlesAreDistinctNonZeroAndCheckedByKind) {
  Engine engine;
  uint32_t a = AddRamp(engine, 10);
  uint32_t m = engine.Add(std::unique_ptr<Source>(new RampSource(10, 1)), Engine::Kind::Module);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, m);
  EXPECT_TRUE(engine.Is(a, Engine::Kind::Stream));
  EXPECT_FALSE(engine.Is(a, Engine::Kind::Module));
  EXPECT_TRUE(engine.Is(m, Engine::Kind::Module));
  uint64_t value = 0;
  uint32_t sync = 0;
  const uint32_t bad[] = {0, 1, 0xFFFFFFFFu, a + m};
  for (uint32_t h : bad) {
    EXPECT_EQ(engine.Play(h, false), kErrorHandle) << h;
    EXPECT_EQ(engine.Pause(h), kErrorHandle) << h;
    EXPECT_EQ(engine.Resume(h), kErrorHandle) << h;
    EXPECT_EQ(engine.Length(h, &value), kErrorHandle) << h;
    EXPECT_EQ(engine.Position(h, 0, &value), kErrorHandle) << h;
    EXPECT_EQ(engine.SetPosition(h, 0), kErrorHandle) << h;
    EXPECT_EQ(engine.AddSync(h, &Proc, 0, &sync), kErrorHandle) << h;
    EXPECT_EQ(engine.Free(h), kErrorHandle) << h;
  }
  EXPECT_EQ(engine.AddSync(a, nullptr, 0, &sync), kErrorIllParam);
}

TEST(ModuleSecondsPosition, RecognisesOnlyTheSecondsForm) {
  struct Case {
    uint64_t position;
    bool seconds;
    uint32_t value;
  } cases[] = {
      {0xFFFFFFFFFFFF0000ull, true, 0},     {0xFFFFFFFFFFFF000Eull, true, 14},
      {0xFFFFFFFFFFFFFFFFull, true, 65535}, {0x00000000FFFF000Eull, false, 0},
      {0xFFFFFFFF0000000Eull, false, 0},    {0xFFFFFFFFFFFE000Eull, false, 0},
      {176400, false, 0},
  };
  for (const Case &c : cases) {
    uint32_t value = 0;
    EXPECT_EQ(ModuleSecondsPosition(c.position, &value), c.seconds) << std::hex << c.position;
    EXPECT_EQ(value, c.value) << std::hex << c.position;
  }
}

TEST(Engine, ASourceOutOfMemoryEndsAndTheOthersPlayOn) {
  Engine engine;
  uint32_t starved = engine.Add(std::unique_ptr<Source>(new StarvedSource()), Engine::Kind::Stream);
  uint32_t ramp = AddRamp(engine, 10000, 100);
  uint32_t sync = 0;
  ASSERT_EQ(engine.AddSync(starved, Proc, 7, &sync), kOk);
  engine.Play(starved, false);
  engine.Play(ramp, false);
  std::vector<int16_t> out;
  ASSERT_NO_THROW(out = Render(engine, 1000));
  EXPECT_EQ(out[1], 100) << "the other channel is heard";
  std::vector<SyncCall> calls;
  engine.TakeEnds(&calls);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].channel, starved);
}
