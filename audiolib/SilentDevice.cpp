#include "audiolib/SilentDevice.h"

#include "audiolib/OutputFormat.h"

namespace audio {

SilentDevice::SilentDevice() : block(kBlockFrames * 2), started(Clock::now()) {}

uint64_t SilentDevice::Played() {
  uint64_t frames = playedBefore;
  if (running) {
    auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count();
    frames += static_cast<uint64_t>(us) * kOutputRate / 1000000;
  }
  // Like a sound card, it cannot play what it was not given.
  return frames < submitted ? frames : submitted;
}

int16_t *SilentDevice::Acquire() {
  return submitted - Played() + kBlockFrames <= kBlocks * kBlockFrames ? block.data() : nullptr;
}

void SilentDevice::Submit(size_t frames) {
  // An underrun (the queue ran dry) restarts the clock at what was submitted.
  if (running && Played() == submitted) {
    playedBefore = submitted;
    started = Clock::now();
  }
  submitted += frames;
}

unsigned SilentDevice::WaitTime(unsigned ms) {
  // A block frees when no more than kBlocks - 1 blocks are left to play.
  const uint64_t queued = submitted - Played();
  const uint64_t limit = (kBlocks - 1) * kBlockFrames;
  unsigned wait = ms;
  if (running && queued > limit) {
    uint64_t soon = (queued - limit) * 1000 / kOutputRate + 1;
    if (soon < wait) wait = static_cast<unsigned>(soon);
  }
  return wait;
}

uint64_t SilentDevice::Drop() {
  const uint64_t at = Played();
  submitted = playedBefore = at;
  started = Clock::now();
  return at;
}

void SilentDevice::Wait(unsigned ms) {
  std::unique_lock<std::mutex> guard(waitLock);
  woken.wait_for(guard, std::chrono::milliseconds(ms), [this] { return wake; });
  wake = false;
}

void SilentDevice::Wake() {
  std::lock_guard<std::mutex> guard(waitLock);
  wake = true;
  woken.notify_one();
}

void SilentDevice::Stop() {
  if (!running) return;
  playedBefore = Played();
  running = false;
}

void SilentDevice::Start() {
  if (running) return;
  // What was queued but not played stays queued: restart the clock from the played frame.
  started = Clock::now();
  running = true;
}

}  // namespace audio
