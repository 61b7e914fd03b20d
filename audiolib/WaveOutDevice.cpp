#include "audiolib/WaveOutDevice.h"

#include <algorithm>
#include <cstdio>

#include "audiolib/OutputFormat.h"

namespace audio {

namespace {

// A call into the sound system that keeps its caller this long is told to a debugger: the thread
// that made it (the window's own, for a click) waited on the sound system.
constexpr DWORD kSlowCallMs = 100;

template <typename Call>
MMRESULT Answered(const char *what, Call call) {
  const DWORD began = GetTickCount();
  const MMRESULT result = call();
  const DWORD took = GetTickCount() - began;
  if (took >= kSlowCallMs) {
    char text[96];
    std::snprintf(text, sizeof text, "audio: the sound system took %lu ms over %s\n", static_cast<unsigned long>(took),
                  what);
    OutputDebugStringA(text);
  }
  return result;
}

}  // namespace

WaveOutDevice::~WaveOutDevice() {
  CloseDevice();
  if (blockDone) CloseHandle(blockDone);
}

AudioError WaveOutDevice::Open() {
  if (waveOutGetNumDevs() == 0) return kErrorDriver;
  blockDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!blockDone) return kErrorDriver;
  progressAt = Clock::now();
  return OpenDevice();
}

AudioError WaveOutDevice::OpenDevice() {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = kOutputRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = kBytesPerFrame;
  format.nAvgBytesPerSec = kBytesPerSecond;
  if (Answered("opening", [&] {
        return waveOutOpen(&out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(blockDone), 0, CALLBACK_EVENT);
      }) != MMSYSERR_NOERROR) {
    out = nullptr;
    return kErrorDriver;
  }
  for (Block &block : blocks) {
    block.samples.assign(kBlockFrames * 2, 0);
    block.header = {};
    block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
    block.header.dwBufferLength = static_cast<DWORD>(kBlockFrames * kBytesPerFrame);
    block.queued = false;
    if (waveOutPrepareHeader(out, &block.header, sizeof block.header) != MMSYSERR_NOERROR) {
      CloseDevice();
      return kErrorDriver;
    }
  }
  if (!running) Answered("a pause", [&] { return waveOutPause(out); });
  // The new device starts at what has been played; what was queued for the old one is dropped.
  next = oldest = 0;
  submitted = done = deviceBase = played;
  devicePlayed = 0;
  lastSample = 0;
  dry = refused = false;
  progressFrames = played;
  progressAt = Clock::now();
  return kOk;
}

void WaveOutDevice::CloseDevice() {
  if (!out) return;
  Answered("a reset", [&] { return waveOutReset(out); });  // returns every queued block
  for (Block &block : blocks) {
    if (block.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out, &block.header, sizeof block.header);
    block.queued = false;
  }
  Answered("closing", [&] { return waveOutClose(out); });
  out = nullptr;
}

// Returns done blocks to the free list (they finish in the order they were queued).
void WaveOutDevice::Collect() {
  while (blocks[oldest].queued && (blocks[oldest].header.dwFlags & WHDR_DONE)) {
    blocks[oldest].queued = false;
    done += blocks[oldest].frames;
    oldest = (oldest + 1) % kBlocks;
  }
}

uint64_t WaveOutDevice::ByClock(Clock::time_point now) const {
  if (!running) return clockBase;
  auto us = std::chrono::duration_cast<std::chrono::microseconds>(now - clockAt).count();
  return clockBase + static_cast<uint64_t>(us) * kOutputRate / 1000000;
}

uint64_t WaveOutDevice::Played() {
  const Clock::time_point now = Clock::now();
  uint64_t heard = played;
  if (out) {
    Collect();
    // Nothing left queued while playing: the mixer fell behind and the device plays silence of its
    // own. A device that refuses blocks or stops playing is handled below, not counted here.
    const bool empty = running && !refused && submitted > deviceBase && done == submitted;
    if (empty && !dry) OutputDebugStringA("audio: the output queue ran dry\n");
    dry = empty;
    // The device position says what has been played; a block is given back only some time after
    // (under Wine the position counts what went on to its sound system, about 100 ms before it
    // is heard). It counts 32-bit samples, so extend it past its wrap.
    MMTIME time = {};
    time.wType = TIME_SAMPLES;
    uint64_t byDevice = done;
    if (Answered("the position", [&] { return waveOutGetPosition(out, &time, sizeof time); }) == MMSYSERR_NOERROR &&
        time.wType == TIME_SAMPLES) {
      devicePlayed += static_cast<DWORD>(time.u.sample - lastSample);
      lastSample = time.u.sample;
      byDevice = deviceBase + devicePlayed;
    }
    byDevice = std::min(byDevice, submitted);
    heard = std::max(heard, byDevice);
    // A device opened again goes on by the clock until it has played something, so time does not
    // stand still when it turns out not to play either.
    if (proving && byDevice == deviceBase) heard = std::max(heard, ByClock(now));
    else proving = false;
    heard = std::min(heard, submitted);
    // Playing, with sound queued, and nothing played for a while: the device has gone away.
    if (byDevice != progressFrames || !running || byDevice == submitted) {
      progressFrames = byDevice;
      progressAt = now;
    } else if (now - progressAt >= std::chrono::milliseconds(kStallMs)) {
      // The clock takes over from the last progress, so the time spent noticing is not lost.
      OutputDebugStringA("audio: the device stopped playing; going on by the clock\n");
      CloseDevice();
      clockBase = progressFrames;
      clockAt = progressAt;
      retryAt = now + std::chrono::milliseconds(kRetryMs);
    }
  }
  if (!out) {
    heard = std::min(std::max(heard, ByClock(now)), submitted);
    if (now >= retryAt) {
      retryAt = now + std::chrono::milliseconds(kRetryMs);
      played = heard;
      if (OpenDevice() == kOk) {
        OutputDebugStringA("audio: the device opened again\n");
        proving = true;
        clockBase = played;
        clockAt = now;
        return played;
      }
    }
  }
  played = heard;
  return played;
}

int16_t *WaveOutDevice::Acquire() {
  uint64_t heard = Played();
  // Keep about kBlocks blocks ahead of what has been heard, however early blocks are taken.
  if (blocks[next].queued || submitted - heard + kBlockFrames > kBlocks * kBlockFrames) return nullptr;
  return blocks[next].samples.data();
}

// A block comes back some time after the position has passed it (under Wine about 100 ms later,
// when it is heard): until the last one is back the device has sound to play.
uint64_t WaveOutDevice::Lead() {
  const uint64_t heard = Played();
  return submitted - (out ? done : heard);
}

unsigned WaveOutDevice::WaitTime(unsigned ms) {
  const uint64_t queued = submitted - Played();
  const uint64_t limit = (kBlocks - 1) * kBlockFrames;
  if (queued <= limit || !running) return ms;
  uint64_t soon = (queued - limit) * 1000 / kOutputRate + 1;
  return soon < ms ? static_cast<unsigned>(soon) : ms;
}

void WaveOutDevice::Submit(size_t frames) {
  Block &block = blocks[next];
  block.frames = frames;
  if (out) {
    block.header.dwBufferLength = static_cast<DWORD>(frames * kBytesPerFrame);
    block.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    // A block the device refuses counts as played at once, so time still moves on.
    if (Answered("a block", [&] { return waveOutWrite(out, &block.header, sizeof block.header); }) != MMSYSERR_NOERROR) {
      block.header.dwFlags |= WHDR_DONE;
      refused = true;
    }
    block.queued = true;
  } else if (running && Played() == submitted) {
    // By the clock, an underrun (the queue ran dry) restarts the clock at what was submitted.
    clockBase = submitted;
    clockAt = Clock::now();
  }
  submitted += frames;
  next = (next + 1) % kBlocks;
}

uint64_t WaveOutDevice::Drop() {
  const uint64_t at = Played();
  if (out) {
    // Gives every block back and counts the position from 0 again.
    Answered("a reset", [&] { return waveOutReset(out); });
    // A reset device starts playing at the next block written: a paused one must stay paused.
    if (!running) Answered("a pause", [&] { return waveOutPause(out); });
    for (Block &block : blocks) block.queued = false;
  }
  next = oldest = 0;
  submitted = done = deviceBase = played = at;
  devicePlayed = 0;
  lastSample = 0;
  dry = false;
  progressFrames = clockBase = at;
  progressAt = clockAt = Clock::now();
  return at;
}

void WaveOutDevice::Wait(unsigned ms) { WaitForSingleObject(blockDone, ms); }

void WaveOutDevice::Wake() { SetEvent(blockDone); }

void WaveOutDevice::Stop() {
  if (!running) return;
  clockBase = Played();
  if (out) Answered("a pause", [&] { return waveOutPause(out); });  // the position holds while paused
  running = false;
}

void WaveOutDevice::Start() {
  if (running) return;
  running = true;
  clockAt = Clock::now();
  if (out) Answered("a restart", [&] { return waveOutRestart(out); });
  progressAt = clockAt;
}

}  // namespace audio
