#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <vector>

#include "audiolib/AudioError.h"
#include "audiolib/OutputDevice.h"

namespace audio {

// The default sound output through winmm's waveOut, fed with kBlocks blocks that it plays in turn.
// What counts as played is the device's position, not the blocks it has given back. A device that
// stops playing for kStallMs is closed; then output goes on by the clock, without sound, and the
// device is opened again every kRetryMs; a debugger is told of both ("audio: the device stopped
// playing; going on by the clock", "audio: the device opened again"), and of any call into the
// sound system that kept its caller 100 ms or more ("audio: the sound system took N ms over ...").
// Each time the queue runs dry while playing (every block
// given back before the next came, so the device plays silence of its own) a debugger is told:
// "audio: the output queue ran dry". That tells the mixer falling behind from silences that the
// sound system puts in further on.
class WaveOutDevice : public OutputDevice {
public:
  WaveOutDevice() = default;
  ~WaveOutDevice() override;
  WaveOutDevice(const WaveOutDevice &) = delete;
  WaveOutDevice &operator=(const WaveOutDevice &) = delete;

  static constexpr unsigned kStallMs = 1000;
  static constexpr unsigned kRetryMs = 2000;

  // kErrorDriver when there is no output device or it cannot be opened.
  AudioError Open();
  // Whether sound goes to the device now (false while output goes on by the clock).
  bool Sounding() const { return out != nullptr; }
  int16_t *Acquire() override;
  void Submit(size_t frames) override;
  uint64_t Played() override;
  uint64_t Lead() override;
  uint64_t Drop() override;
  unsigned WaitTime(unsigned ms) override;
  void Wait(unsigned ms) override;
  void Wake() override;
  void Stop() override;
  void Start() override;

private:
  using Clock = std::chrono::steady_clock;
  struct Block {
    WAVEHDR header = {};
    std::vector<int16_t> samples;
    size_t frames = 0;  // queued in it
    bool queued = false;
  };
  HWAVEOUT out = nullptr;
  HANDLE blockDone = nullptr;  // set by waveOut whenever it gives a block back, and by Wake
  Block blocks[kBlocks];
  size_t next = 0;    // the block Acquire hands out
  size_t oldest = 0;  // the block played next
  uint64_t submitted = 0;   // frames queued so far
  uint64_t done = 0;        // frames of blocks waveOut has given back
  uint64_t played = 0;      // frames heard, from the device position
  DWORD lastSample = 0;     // the device position last read
  uint64_t deviceBase = 0;  // frames played before the device was opened
  uint64_t devicePlayed = 0;  // frames the device has played since it was opened
  bool running = true;      // not stopped
  bool proving = false;     // opened again, and has not played yet
  bool dry = false;         // every queued block given back, at the last look
  bool refused = false;     // the device refused a block since it was opened
  // Progress, for telling a device that stopped playing.
  uint64_t progressFrames = 0;
  Clock::time_point progressAt;
  // Output by the clock: `clockBase` frames were played at `clockAt`.
  uint64_t clockBase = 0;
  Clock::time_point clockAt;
  Clock::time_point retryAt;

  AudioError OpenDevice();
  void CloseDevice();
  void Collect();
  uint64_t ByClock(Clock::time_point now) const;
};

}  // namespace audio
