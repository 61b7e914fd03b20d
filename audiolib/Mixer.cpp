#include "audiolib/Mixer.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "audiolib/OutputFormat.h"

namespace audio {

namespace {

constexpr size_t kBlock = OutputDevice::kBlockFrames;

}  // namespace

uint64_t Mixer::SteadyMs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Mixer::Fill() {
  // What the device has played is out of reach of any drop.
  const uint64_t played = std::min(device.Played(), submitted);
  if (played > first) {
    unplayed.erase(unplayed.begin(), unplayed.begin() + static_cast<ptrdiff_t>((played - first) * 2));
    first = played;
  }
  engine.Forget(played);
  while (int16_t *block = device.Acquire()) {
    // Up to a block; a channel's end makes a short one, so that nothing waits behind the end.
    const uint64_t staged = engine.Mixed() - submitted;
    if (staged < kBlock) {
      const size_t want = kBlock - static_cast<size_t>(staged);
      const size_t at = unplayed.size();
      unplayed.resize(at + want * 2);
      const size_t got = engine.Render(unplayed.data() + at, want);
      unplayed.resize(at + got * 2);
      if (got > 0) feeding = true;
    }
    size_t frames = static_cast<size_t>(std::min<uint64_t>(engine.Mixed() - submitted, kBlock));
    if (frames == 0) {
      if (!PadNow()) break;
      unplayed.resize(unplayed.size() + kBlock * 2);  // zeros
      engine.Pad(kBlock);
      frames = kBlock;
    }
    std::memcpy(block, unplayed.data() + (submitted - first) * 2, frames * 2 * sizeof(int16_t));
    device.Submit(frames);
    submitted += frames;
    if (awaiting) {
      awaiting = false;
      const uint64_t waited = now() - askedAt;
      if (waited >= kLateMs) late = std::max(late, waited);
    }
  }
  if (!engine.Playing()) awaiting = false;  // what was asked for ended before a block of it
}

bool Mixer::TakeLate(uint64_t *ms) {
  if (late == 0) return false;
  *ms = late;
  late = 0;
  return true;
}

// Silence goes into the queue only when it must: a device given sound would otherwise run dry.
// An empty one (before the first sound, or after a drop) has nothing to keep up, and the channel
// asked for next starts at once.
bool Mixer::PadNow() {
  if (!running || !feeding) return false;
  return device.Lead() < kSafeFrames;
}

unsigned Mixer::WaitTime(unsigned ms) {
  unsigned wait = device.WaitTime(ms);
  if (running && feeding && !engine.Playing()) {
    // Holding silence back: look again when the queue is down to kSafeFrames.
    const uint64_t lead = device.Lead();
    const uint64_t soon = lead > kSafeFrames ? (lead - kSafeFrames) * 1000 / kOutputRate + 1 : 1;
    if (soon < wait) wait = static_cast<unsigned>(soon);
  }
  return wait;
}

void Mixer::Run(bool start) {
  started = start;
  UpdateDevice();
}

void Mixer::UpdateDevice() {
  const bool run = started && !held;
  if (run == running) return;
  awaiting = false;  // a held device takes nothing: no wait to count
  if (run)
    device.Start();
  else
    device.Stop();
  running = run;
}

AudioError Mixer::Play(uint32_t handle, bool restart) {
  if (!engine.Has(handle)) return kErrorHandle;
  if (restart && !engine.Ended(handle)) Drop(handle);
  AudioError error = engine.Play(handle, restart);
  if (error == kOk) Continue();
  return error;
}

AudioError Mixer::Pause(uint32_t handle) {
  AudioError error = engine.Pause(handle);
  if (error != kOk) return error;
  if (engine.Playing()) {
    Drop(handle);
  } else {
    held = true;
    UpdateDevice();
  }
  return kOk;
}

AudioError Mixer::Resume(uint32_t handle) {
  AudioError error = engine.Resume(handle);
  if (error == kOk) Continue();
  return error;
}

AudioError Mixer::Free(uint32_t handle) {
  if (engine.Has(handle) && !engine.Ended(handle)) Drop(handle);
  return engine.Free(handle);
}

AudioError Mixer::SetPosition(uint32_t handle, uint64_t frame) {
  if (!engine.Has(handle)) return kErrorHandle;
  if (!engine.Ended(handle)) Drop(handle);
  AudioError error = engine.SetPosition(handle, frame);
  // Awake at once: to mix from the new position, or to report the end of a move past it.
  if (engine.Playing())
    Continue();
  else
    device.Wake();
  return error;
}

AudioError Mixer::Position(uint32_t handle, uint64_t *frame) {
  return engine.Position(handle, std::min(device.Played(), submitted), frame);
}

// A channel plays: a device held for a pause plays on, without what other paused channels left.
void Mixer::Continue() {
  if (held) {
    held = false;
    for (uint32_t paused : engine.Paused()) Drop(paused);
  }
  UpdateDevice();
  if (running && !awaiting) {
    awaiting = true;
    askedAt = now();
  }
  device.Wake();
}

void Mixer::Drop(uint32_t handle) {
  uint64_t from = 0;
  if (!engine.SoundFrom(handle, std::min(device.Played(), submitted), &from)) return;
  from = std::max(from, engine.LastEnd());
  if (from >= engine.Mixed()) return;
  const uint64_t at = device.Drop();
  from = std::max(from, at);
  // What lies before `from` is queued again; the rest is mixed anew.
  unplayed.erase(unplayed.begin(), unplayed.begin() + static_cast<ptrdiff_t>((at - first) * 2));
  unplayed.resize((from - at) * 2);
  first = submitted = at;
  feeding = from > at;
  engine.Rewind(from);
  device.Wake();
}

}  // namespace audio
