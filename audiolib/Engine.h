#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "audiolib/AudioError.h"
#include "audiolib/Source.h"

namespace audio {

// An end-of-channel procedure, kept opaque here; the exported layer casts it back to its type.
using SyncProc = void (*)();

// One end notification that is due: call `proc(sync, channel, 0, user)`.
struct SyncCall {
  uint32_t sync;
  uint32_t channel;
  SyncProc proc;
  uint32_t user;
};

// The channels and their mixing, free of any device or thread: the caller serialises every call.
// Positions and lengths count output frames; "mixed frames" number everything mixed so far, silence
// included, so they match the frames a device is given. For the mixed frames not yet played the
// engine remembers where each channel's sound lies, so that they can be taken back and mixed again,
// and a channel's position can be given for the frame being heard. An end is due as soon as the
// mixing reaches it.
class Engine {
public:
  enum class Kind { Module, Stream };

  uint32_t Add(std::unique_ptr<Source> source, Kind kind);
  bool Is(uint32_t handle, Kind kind) const;
  bool Has(uint32_t handle) const { return Find(handle) != nullptr; }
  size_t Count() const { return channels.size(); }
  bool Ended(uint32_t handle) const;
  // Whether any channel is playing.
  bool Playing() const;
  std::vector<uint32_t> Paused() const;

  // Starts or continues; `restart` (or a channel that has ended) starts again from the beginning.
  AudioError Play(uint32_t handle, bool restart);
  AudioError Pause(uint32_t handle);   // kErrorNoPlay unless playing
  AudioError Resume(uint32_t handle);  // kErrorNoPlay unless paused
  // Frees the channel and cancels its pending end notifications.
  AudioError Free(uint32_t handle);
  // Frees every channel and restarts the mixed-frame count, for a new device.
  void Clear();

  AudioError Length(uint32_t handle, uint64_t *frames) const;
  uint32_t ModuleOrders(uint32_t handle) const;
  // The channel's position when mixed frame `at` is heard: sound mixed after it does not count yet.
  AudioError Position(uint32_t handle, uint64_t at, uint64_t *frame) const;
  // A position at or past the end ends the channel (its end is reported once).
  AudioError SetPosition(uint32_t handle, uint64_t frame);
  // An end reached before the first procedure was set is reported once that one is set.
  AudioError AddSync(uint32_t handle, SyncProc proc, uint32_t user, uint32_t *sync);

  // Mixes the playing channels into up to `frames` interleaved stereo frames; fewer (down to none)
  // only when no channel plays any more. A source that runs out of memory (std::bad_alloc) ends
  // there.
  size_t Render(int16_t *out, size_t frames);
  // Counts `frames` frames of silence as mixed.
  void Pad(size_t frames) { mixed += frames; }
  uint64_t Mixed() const { return mixed; }
  // The first mixed frame at or after `from` that holds sound of the channel; false when none does.
  bool SoundFrom(uint32_t handle, uint64_t from, uint64_t *frame) const;
  // The mixed frame just after the latest end: what comes before it is a tail that must be heard.
  uint64_t LastEnd() const { return lastEnd; }
  // Takes back every mixed frame from `frame` (at or after LastEnd) on: each channel goes back to
  // where it was at that frame, to be mixed again.
  void Rewind(uint64_t frame);
  // Forgets where channels were before mixed frame `played`.
  void Forget(uint64_t played);
  // The frames of silence mixed between a channel's end and the next channel's first frame; true
  // once, when that channel has been mixed.
  bool TakeGap(uint64_t *frames);
  // Moves the due end notifications into `calls`: every procedure of the channel, once per end.
  void TakeEnds(std::vector<SyncCall> *calls);

private:
  enum class State { Loaded, Playing, Paused, Ended };
  struct Sync {
    uint32_t handle;
    SyncProc proc;
    uint32_t user;
  };
  // Channel frames from `position` on lie at mixed frames from `at`, for `frames` frames.
  struct Span {
    uint64_t at;
    uint64_t position;
    uint64_t frames;
  };
  struct Channel {
    std::unique_ptr<Source> source;
    Kind kind;
    State state = State::Loaded;
    uint64_t position = 0;
    std::vector<Sync> syncs;
    unsigned endsDue = 0;     // ends not yet reported
    std::vector<Span> spans;  // its sound among the mixed frames not yet played, in order
  };
  Channel *Find(uint32_t handle);
  const Channel *Find(uint32_t handle) const;
  void End(Channel &channel, uint64_t frame);

  std::map<uint32_t, Channel> channels;
  uint32_t nextHandle = 0x10000;
  uint32_t nextSync = 1;
  uint64_t mixed = 0;
  uint64_t lastEnd = 0;
  bool afterEnd = false;  // the last playing channel ended at `endedAt`, none mixed since
  uint64_t endedAt = 0;
  bool gapDue = false;
  uint64_t gap = 0;
  std::vector<int32_t> sum;
  std::vector<int16_t> scratch;
};

}  // namespace audio
