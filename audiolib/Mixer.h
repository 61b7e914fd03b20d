#pragma once
#include <cstdint>
#include <vector>

#include "audiolib/AudioError.h"
#include "audiolib/Engine.h"
#include "audiolib/OutputDevice.h"

namespace audio {

// Keeps an output device's queue filled from the engine without making the listener wait behind
// it. The queue's lead protects the sound from a busy machine; what is asked for takes effect at
// once all the same:
// - pausing the last playing channel pauses the device, keeping what is queued; resuming plays on;
// - freeing, moving or restarting a channel that has not ended, or pausing one while others play,
//   drops what is queued of it and not yet played, and mixes again from there (the other channels
//   go back to where they were, so they lose and repeat nothing);
// - no silence is queued into an empty device (before the first sound, after a drop), nor, while
//   nothing plays, as long as kSafeFrames or more are still queued, so a channel started meanwhile
//   (the next song, after an end or a click) follows at once, or directly after the last sound.
//   What an ended channel left queued, its tail, is never dropped.
// Not thread-safe: the library serialises every call.
class Mixer {
public:
  // The least that stays queued while the mixer waits for a channel to follow the last one.
  static constexpr uint64_t kSafeFrames = 3 * OutputDevice::kBlockFrames;  // 75 ms

  // A wait from a call asking for sound to its first block reaching the device that is told.
  static constexpr uint64_t kLateMs = 100;
  // Milliseconds on a steady clock; tests give their own.
  using NowMs = uint64_t (*)();
  static uint64_t SteadyMs();

  Mixer(Engine &engine, OutputDevice &device, NowMs now = SteadyMs) : engine(engine), device(device), now(now) {}
  Mixer(const Mixer &) = delete;
  Mixer &operator=(const Mixer &) = delete;

  // Mixes into the device's free blocks.
  void Fill();
  // How long to wait, at most `ms` milliseconds, before Fill has work again.
  unsigned WaitTime(unsigned ms);
  // Output paused by the application (false) or going on (true).
  void Run(bool start);

  AudioError Play(uint32_t handle, bool restart);
  AudioError Pause(uint32_t handle);
  AudioError Resume(uint32_t handle);
  AudioError Free(uint32_t handle);
  AudioError SetPosition(uint32_t handle, uint64_t frame);
  // Where the channel is in what the device has played.
  AudioError Position(uint32_t handle, uint64_t *frame);
  // The longest wait of kLateMs or more, since the last call, from a call asking for sound (play,
  // resume, move) to the next block reaching the device; false when there was none. What the
  // listener hears later than that is the sound system's.
  bool TakeLate(uint64_t *ms);

private:
  bool PadNow();
  void Drop(uint32_t handle);
  void Continue();
  void UpdateDevice();

  Engine &engine;
  OutputDevice &device;
  NowMs now;
  bool awaiting = false;  // sound asked for at `askedAt` and no block given to the device since
  uint64_t askedAt = 0;
  uint64_t late = 0;      // the longest such wait of kLateMs or more, not yet taken
  std::vector<int16_t> unplayed;  // the mixed frames from `first` on, not yet played
  uint64_t first = 0;
  uint64_t submitted = 0;  // frames given to the device
  bool started = true;     // output not paused by the application
  bool held = false;       // the device paused with the last playing channel
  bool running = true;     // the device plays
  bool feeding = false;    // the device has been given sound since it was opened or emptied
};

}  // namespace audio
