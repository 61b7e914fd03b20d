#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "audiolib/AudioError.h"
#include "audiolib/OutputDevice.h"

namespace audio {

// The default sound output through winmm's waveOut, fed with kBlocks blocks that it plays in turn.
// What counts as played is the device's position, not the blocks it has given back.
class WaveOutDevice : public OutputDevice {
public:
  WaveOutDevice() = default;
  ~WaveOutDevice() override;
  WaveOutDevice(const WaveOutDevice &) = delete;
  WaveOutDevice &operator=(const WaveOutDevice &) = delete;

  // kErrorDriver when there is no output device or it cannot be opened.
  AudioError Open();
  int16_t *Acquire() override;
  void Submit() override;
  uint64_t Played() override;
  unsigned WaitTime(unsigned ms) override;
  void Wait(unsigned ms) override;
  void Stop() override;
  void Start() override;

private:
  struct Block {
    WAVEHDR header = {};
    std::vector<int16_t> samples;
    bool queued = false;
  };
  HWAVEOUT out = nullptr;
  HANDLE blockDone = nullptr;  // set by waveOut whenever it gives a block back
  Block blocks[kBlocks];
  size_t next = 0;    // the block Acquire hands out
  size_t oldest = 0;  // the block played next
  uint64_t submitted = 0;   // frames queued so far
  uint64_t done = 0;        // frames of blocks waveOut has given back
  uint64_t played = 0;      // frames heard, from the device position
  DWORD lastSample = 0;     // the device position last read
  void Collect();
};

}  // namespace audio
