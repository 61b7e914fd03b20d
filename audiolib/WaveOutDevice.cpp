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
  if (done) CloseHandle(done);
}

AudioError WaveOutDevice::Open() {
  if (waveOutGetNumDevs() == 0) return kErrorDriver;
  done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!done) return kErrorDriver;
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = kOutputRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = kBytesPerFrame;
  format.nAvgBytesPerSec = kBytesPerSecond;
  if (waveOutOpen(&out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) !=
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

uint64_t WaveOutDevice::Played() {
  // Blocks finish in the order they were queued.
  while (blocks[oldest].queued && (blocks[oldest].header.dwFlags & WHDR_DONE)) {
    blocks[oldest].queued = false;
    played += kBlockFrames;
    oldest = (oldest + 1) % kBlocks;
  }
  return played;
}

int16_t *WaveOutDevice::Acquire() {
  Played();
  return blocks[next].queued ? nullptr : blocks[next].samples.data();
}

void WaveOutDevice::Submit() {
  Block &block = blocks[next];
  block.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  // A block the device refuses counts as played at once, so time still moves on.
  if (waveOutWrite(out, &block.header, sizeof block.header) != MMSYSERR_NOERROR) block.header.dwFlags |= WHDR_DONE;
  block.queued = true;
  next = (next + 1) % kBlocks;
}

void WaveOutDevice::Wait(unsigned ms) { WaitForSingleObject(done, ms); }

void WaveOutDevice::Stop() { waveOutPause(out); }

void WaveOutDevice::Start() { waveOutRestart(out); }

}  // namespace audio
