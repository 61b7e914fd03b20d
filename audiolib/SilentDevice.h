#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "audiolib/OutputDevice.h"

namespace audio {

// A device without sound: it "plays" in real time by the clock, so channels advance and end as
// they would on a sound card.
class SilentDevice : public OutputDevice {
public:
  SilentDevice();
  int16_t *Acquire() override;
  void Submit(size_t frames) override;
  uint64_t Played() override;
  uint64_t Lead() override { return submitted - Played(); }
  uint64_t Drop() override;
  unsigned WaitTime(unsigned ms) override;
  void Wait(unsigned ms) override;
  void Wake() override;
  void Stop() override;
  void Start() override;

private:
  using Clock = std::chrono::steady_clock;
  std::vector<int16_t> block;
  uint64_t submitted = 0;
  uint64_t playedBefore = 0;  // frames played before the last start
  Clock::time_point started;
  bool running = true;
  // Wait and Wake run on different threads.
  std::mutex waitLock;
  std::condition_variable woken;
  bool wake = false;
};

}  // namespace audio
