// The mixer over a device whose playing the test moves on by hand, native: what reaches the device
// after pauses, frees, moves and ends, what stays of it, and the frame counts on both sides.
#include <gtest/gtest.h>

#include <functional>

#include "audiolib/Mixer.h"
#include "tests/audiolib/RampSource.h"

using namespace audio;
using audiotest::RampSource;

namespace {

// Keeps every frame it is given, by frame number; `played` is moved on by the test.
class FakeDevice : public OutputDevice {
public:
  std::vector<int16_t> frames;  // interleaved, frame i at 2 * i
  uint64_t played = 0;
  bool running = true;
  int drops = 0;

  int16_t *Acquire() override {
    return Queued() + kBlockFrames <= kBlocks * kBlockFrames ? block : nullptr;
  }
  void Submit(size_t count) override { frames.insert(frames.end(), block, block + 2 * count); }
  uint64_t Played() override { return played; }
  uint64_t Lead() override { return Queued(); }
  uint64_t Drop() override {
    frames.resize(played * 2);
    ++drops;
    return played;
  }
  unsigned WaitTime(unsigned ms) override { return ms; }
  void Wait(unsigned) override {}
  void Wake() override {}
  void Stop() override { running = false; }
  void Start() override { running = true; }
  uint64_t Queued() const { return frames.size() / 2 - played; }
  int16_t Left(uint64_t frame) const { return frames[2 * frame]; }
  int16_t Right(uint64_t frame) const { return frames[2 * frame + 1]; }

private:
  int16_t block[2 * kBlockFrames] = {};
};

uint64_t fakeMs = 0;
uint64_t FakeMs() { return fakeMs; }

struct Rig {
  Engine engine;
  FakeDevice device;
  Mixer mixer{engine, device, FakeMs};
  uint32_t Add(uint64_t frames, int16_t level) {
    return engine.Add(std::unique_ptr<Source>(new RampSource(frames, level)), Engine::Kind::Stream);
  }
};

constexpr uint64_t kQueue = OutputDevice::kBlocks * OutputDevice::kBlockFrames;

void Proc() {}

}  // namespace

TEST(Mixer, PausingTheLastChannelPausesTheDeviceAndResumingLosesNothing) {
  Rig rig;
  uint32_t a = rig.Add(100000, 100);
  rig.mixer.Play(a, false);
  rig.mixer.Fill();
  ASSERT_EQ(rig.device.Queued(), kQueue);
  rig.device.played = 3000;
  ASSERT_EQ(rig.mixer.Pause(a), kOk);
  EXPECT_FALSE(rig.device.running);
  rig.mixer.Fill();
  EXPECT_EQ(rig.device.frames.size(), 2 * kQueue) << "the paused device keeps its queue, and gets no silence";
  uint64_t position = 0;
  rig.mixer.Position(a, &position);
  EXPECT_EQ(position, 3000u) << "where the listener is";
  ASSERT_EQ(rig.mixer.Resume(a), kOk);
  EXPECT_TRUE(rig.device.running);
  rig.device.played = 8000;
  rig.mixer.Fill();
  EXPECT_EQ(rig.device.drops, 0);
  for (uint64_t i = 0; i < rig.device.frames.size() / 2; ++i) ASSERT_EQ(rig.device.Left(i), static_cast<int16_t>(i)) << i;
}

// A plays, 2000 of its frames have been played, the rest of the queue is dropped by what the
// listener asks; B (level 200) is another song.
TEST(Mixer, FreeingMovingOrReplacingDropsWhatIsQueuedOfAChannel) {
  struct Case {
    const char *name;
    std::function<void(Mixer &, uint32_t a, uint32_t b)> act;
    int16_t level;     // heard from frame 2000 on
    int16_t left;      // the left sample of frame 2000
    int64_t position;  // A's position then, -1 when freed
  } cases[] = {
      // The mixer may run between the two calls: it must not queue silence into the emptied device.
      {"free, play another", [](Mixer &m, uint32_t a, uint32_t b) { m.Free(a); m.Fill(); m.Play(b, false); }, 200, 0, -1},
      {"pause, free, play another (Pause then Next)",
       [](Mixer &m, uint32_t a, uint32_t b) { m.Pause(a); m.Free(a); m.Fill(); m.Play(b, false); }, 200, 0, -1},
      {"pause, play another", [](Mixer &m, uint32_t a, uint32_t b) { m.Pause(a); m.Play(b, false); }, 200, 0, 2000},
      {"move", [](Mixer &m, uint32_t a, uint32_t) { m.SetPosition(a, 20000); }, 100, 20000, 20000},
      {"pause, move, resume",
       [](Mixer &m, uint32_t a, uint32_t) { m.Pause(a); m.SetPosition(a, 20000); m.Resume(a); }, 100, 20000, 20000},
      {"restart", [](Mixer &m, uint32_t a, uint32_t) { m.Play(a, true); }, 100, 0, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    uint32_t a = rig.Add(100000, 100);
    uint32_t b = rig.Add(100000, 200);
    rig.mixer.Play(a, false);
    rig.mixer.Fill();
    rig.device.played = 2000;
    c.act(rig.mixer, a, b);
    EXPECT_GE(rig.device.drops, 1);
    uint64_t position = 0;
    EXPECT_EQ(rig.mixer.Position(a, &position) == kOk ? static_cast<int64_t>(position) : -1, c.position);
    rig.mixer.Fill();
    EXPECT_TRUE(rig.device.running);
    EXPECT_EQ(rig.device.played, 2000u) << "the played frames stay counted";
    ASSERT_EQ(rig.device.Queued(), kQueue) << "refilled from the played frame";
    EXPECT_EQ(rig.engine.Mixed(), rig.device.frames.size() / 2) << "device and engine number frames alike";
    for (uint64_t i = 0; i < 2000; ++i) ASSERT_EQ(rig.device.Left(i), static_cast<int16_t>(i)) << i;
    for (uint64_t i = 2000; i < 2000 + kQueue; ++i) {
      ASSERT_EQ(rig.device.Right(i), c.level) << i;
      ASSERT_EQ(rig.device.Left(i), static_cast<int16_t>(c.left + (i - 2000))) << i;
    }
  }
}

TEST(Mixer, APauseWhileAnotherPlaysTakesOnlyItsOwnSoundAway) {
  Rig rig;
  uint32_t a = rig.Add(100000, 100);
  uint32_t b = rig.Add(100000, 200);
  rig.mixer.Play(a, false);
  rig.mixer.Play(b, false);
  rig.mixer.Fill();
  rig.device.played = 1000;
  rig.mixer.Pause(a);
  rig.mixer.Fill();
  EXPECT_TRUE(rig.device.running);
  for (uint64_t i = 1000; i < 1000 + kQueue; ++i) {
    ASSERT_EQ(rig.device.Right(i), 200) << i;
    ASSERT_EQ(rig.device.Left(i), static_cast<int16_t>(i)) << "b goes on where it was heard, " << i;
  }
}

// A ends 5000 frames in; B follows. In time, B's first frame follows A's last directly; when B comes
// only once the queue is down to the safe lead, the block of silence put in meanwhile lies between.
TEST(Mixer, AChannelStartedAfterAnEndFollowsItsLastFrame) {
  const bool late[] = {false, true};
  for (bool slow : late) {
    SCOPED_TRACE(slow ? "late" : "in time");
    Rig rig;
    uint32_t a = rig.Add(5000, 100);
    rig.mixer.Play(a, false);
    rig.mixer.Fill();
    EXPECT_EQ(rig.device.frames.size() / 2, 5000u) << "all of A, and no silence after it yet";
    uint64_t pad = 0;
    if (slow) {
      rig.device.played = rig.device.frames.size() / 2 - Mixer::kSafeFrames + 1;
      rig.mixer.Fill();
      pad = OutputDevice::kBlockFrames;
    }
    ASSERT_EQ(rig.mixer.Free(a), kOk);
    EXPECT_EQ(rig.device.drops, 0) << "an ended channel keeps its tail";
    rig.mixer.Play(rig.Add(100000, 200), false);
    rig.mixer.Fill();
    for (uint64_t i = 0; i < 5000; ++i) ASSERT_EQ(rig.device.Left(i), static_cast<int16_t>(i)) << i;
    for (uint64_t i = 5000; i < 5000 + pad; ++i) ASSERT_EQ(rig.device.Right(i), 0) << i;
    EXPECT_EQ(rig.device.Right(5000 + pad), 200);
    EXPECT_EQ(rig.device.Left(5000 + pad), 0);
    uint64_t gap = 99;
    ASSERT_TRUE(rig.engine.TakeGap(&gap));
    EXPECT_EQ(gap, pad);
  }
}

TEST(Mixer, ADropKeepsAnEndedChannelsTailAndItsEndIsReportedOnce) {
  Rig rig;
  uint32_t a = rig.Add(3000, 100);
  uint32_t b = rig.Add(100000, 200);
  uint32_t sync = 0;
  rig.engine.AddSync(a, &Proc, 0, &sync);
  rig.mixer.Play(a, false);
  rig.mixer.Play(b, false);
  rig.mixer.Fill();
  rig.device.played = 1000;
  rig.mixer.Free(b);
  rig.mixer.Fill();
  for (uint64_t i = 1000; i < 3000; ++i) ASSERT_EQ(rig.device.Right(i), 300) << "a's tail, as mixed: " << i;
  EXPECT_EQ(rig.device.Right(3000), 0) << "b's sound after a's end is gone";
  std::vector<SyncCall> calls;
  rig.engine.TakeEnds(&calls);
  rig.engine.TakeEnds(&calls);
  EXPECT_EQ(calls.size(), 1u);
}

// How long a call asking for sound waited for its first block to reach the device: told from
// kLateMs on, the longest once; a device held by a pause counts nothing.
TEST(Mixer, AWaitForTheFirstBlockAfterAPlayOrMoveIsTold) {
  struct Case {
    const char *name;
    uint64_t fillAfterMs;
    bool full;          // the queue full when the move is asked for (a block frees only later)
    uint64_t told;      // 0: nothing told
  };
  const Case cases[] = {
      {"filled at once", 0, false, 0},
      {"filled 99 ms later", 99, false, 0},
      {"filled 400 ms later", 400, false, 400},
      {"a full queue, a block freed 300 ms later", 300, true, 300},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    fakeMs = 1000;
    uint32_t a = rig.Add(100000, 100);
    rig.mixer.Play(a, false);
    rig.mixer.Fill();
    uint64_t ms = 0;
    ASSERT_FALSE(rig.mixer.TakeLate(&ms));
    if (c.full) {
      rig.mixer.Play(a, false);  // asks again: a block frees only when the device has played some
      rig.mixer.Fill();
      fakeMs += c.fillAfterMs;
      rig.device.played = OutputDevice::kBlockFrames;
    } else {
      rig.device.played = 2000;
      rig.mixer.SetPosition(a, 50000);
      fakeMs += c.fillAfterMs;
    }
    rig.mixer.Fill();
    EXPECT_EQ(rig.mixer.TakeLate(&ms) ? ms : 0, c.told);
    EXPECT_FALSE(rig.mixer.TakeLate(&ms)) << "told once";
  }
  Rig rig;
  uint32_t a = rig.Add(100000, 100);
  rig.mixer.Play(a, false);
  rig.mixer.Pause(a);
  rig.mixer.Run(false);
  rig.mixer.Resume(a);
  fakeMs += 5000;
  rig.mixer.Run(true);
  rig.mixer.Fill();
  uint64_t ms = 0;
  EXPECT_FALSE(rig.mixer.TakeLate(&ms)) << "output paused by the application is no wait of the mixer's";

  Rig ended;
  uint32_t empty = ended.Add(0, 100);
  ended.mixer.Play(empty, false);
  ended.mixer.Fill();
  fakeMs += 5000;
  ended.mixer.Play(ended.Add(100000, 100), false);
  ended.mixer.Fill();
  EXPECT_FALSE(ended.mixer.TakeLate(&ms)) << "a channel that ended before a block of it asked for nothing more";
}
