#pragma once
#include <cstddef>
#include <cstdint>

namespace audio {

// Where mixed sound goes: a short queue of fixed-size blocks (about 200 ms in all) that the device
// plays in order. Not thread-safe: the library serialises every call except Wait and Wake.
class OutputDevice {
public:
  static constexpr size_t kBlockFrames = 1103;  // 25 ms
  static constexpr size_t kBlocks = 8;  // under Wine about 200 ms are heard after a block is made

  virtual ~OutputDevice() = default;
  // The next free block to fill (room for kBlockFrames stereo frames), or null while the queue is
  // full.
  virtual int16_t *Acquire() = 0;
  // Queues the first `frames` frames (1 to kBlockFrames) of the block that Acquire returned.
  virtual void Submit(size_t frames) = 0;
  // Frames played so far.
  virtual uint64_t Played() = 0;
  // Frames queued that the device has yet to play out: how long it goes on without more.
  virtual uint64_t Lead() = 0;
  // Throws away every queued frame not yet played and returns the frames played: what is queued
  // next follows them. A paused device stays paused.
  virtual uint64_t Drop() = 0;
  // How long to wait, at most `ms` milliseconds, before a block may be free again.
  virtual unsigned WaitTime(unsigned ms) = 0;
  // Sleeps up to `ms` milliseconds, until the device says a block is free or Wake is called.
  virtual void Wait(unsigned ms) = 0;
  // Ends a Wait early (or the next one, if none is under way).
  virtual void Wake() = 0;
  // Pauses playing, keeping what is queued, and continues.
  virtual void Stop() = 0;
  virtual void Start() = 0;
};

}  // namespace audio
