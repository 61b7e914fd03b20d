#include "audiolib/WaveOutDevice.h"

#include "audiolib/OutputFormat.h"

namespace audio {

WaveOutDevice::~WaveOutDevice() {
  if (out) {
    waveOutReset(out);  // returns every queued block
    for (Block &block : blocks)
      if (block.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out, &block.header, sizeof block.header);
    waveOutClose(out);
  }
  if (blockDone) CloseHandle(blockDone);
}

AudioError WaveOutDevice::Open() {
  if (waveOutGetNumDevs() == 0) return kErrorDriver;
  blockDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!blockDone) return kErrorDriver;
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = kOutputRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = kBytesPerFrame;
  format.nAvgBytesPerSec = kBytesPerSecond;
  if (waveOutOpen(&out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(blockDone), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    out = nullptr;
    return kErrorDriver;
  }
  for (Block &block : blocks) {
    block.samples.assign(kBlockFrames * 2, 0);
    block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
    block.header.dwBufferLength = static_cast<DWORD>(kBlockFrames * kBytesPerFrame);
    if (waveOutPrepareHeader(out, &block.header, sizeof block.header) != MMSYSERR_NOERROR) return kErrorDriver;
  }
  return kOk;
}

// Returns done blocks to the free list (they finish in the order they were queued).
void WaveOutDevice::Collect() {
  while (blocks[oldest].queued && (blocks[oldest].header.dwFlags & WHDR_DONE)) {
    blocks[oldest].queued = false;
    done += kBlockFrames;
    oldest = (oldest + 1) % kBlocks;
  }
}

uint64_t WaveOutDevice::Played() {
  Collect();
  // A done block has only been handed on (Wine's mixer takes blocks early); the device position
  // says what has been heard. It counts 32-bit samples, so extend it past its wrap.
  MMTIME time = {};
  time.wType = TIME_SAMPLES;
  if (waveOutGetPosition(out, &time, sizeof time) == MMSYSERR_NOERROR && time.wType == TIME_SAMPLES) {
    played += static_cast<DWORD>(time.u.sample - lastSample);
    lastSample = time.u.sample;
  } else {
    played = done;
  }
  if (played > submitted) played = submitted;
  return played;
}

int16_t *WaveOutDevice::Acquire() {
  uint64_t heard = Played();
  // Keep about kBlocks blocks ahead of what has been heard, however early blocks are taken.
  if (blocks[next].queued || submitted - heard + kBlockFrames > kBlocks * kBlockFrames) return nullptr;
  return blocks[next].samples.data();
}

unsigned WaveOutDevice::WaitTime(unsigned ms) {
  const uint64_t queued = submitted - Played();
  const uint64_t limit = (kBlocks - 1) * kBlockFrames;
  if (queued <= limit) return ms;
  uint64_t soon = (queued - limit) * 1000 / kOutputRate + 1;
  return soon < ms ? static_cast<unsigned>(soon) : ms;
}

void WaveOutDevice::Submit() {
  Block &block = blocks[next];
  block.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  // A block the device refuses counts as played at once, so time still moves on.
  if (waveOutWrite(out, &block.header, sizeof block.header) != MMSYSERR_NOERROR) block.header.dwFlags |= WHDR_DONE;
  block.queued = true;
  submitted += kBlockFrames;
  next = (next + 1) % kBlocks;
}

void WaveOutDevice::Wait(unsigned ms) { WaitForSingleObject(blockDone, ms); }

void WaveOutDevice::Stop() { waveOutPause(out); }  // the position holds while paused

void WaveOutDevice::Start() { waveOutRestart(out); }

}  // namespace audio
