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
// Positions and lengths count output frames. Channel ends are stamped with the mixed frame at which
// they happen, so they can be reported when the device has actually played that far.
class Engine {
public:
  enum class Kind { Module, Stream };

  uint32_t Add(std::unique_ptr<Source> source, Kind kind);
  bool Is(uint32_t handle, Kind kind) const;
  bool Has(uint32_t handle) const { return Find(handle) != nullptr; }
  size_t Count() const { return channels.size(); }

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
  AudioError Position(uint32_t handle, uint64_t *frame) const;
  // A position at or past the end ends the channel (its end is reported once).
  AudioError SetPosition(uint32_t handle, uint64_t frame);
  AudioError AddSync(uint32_t handle, SyncProc proc, uint32_t user, uint32_t *sync);

  // Mixes the playing channels into `frames` interleaved stereo frames.
  void Render(int16_t *out, size_t frames);
  uint64_t Mixed() const { return mixed; }
  // Moves the notifications of ends at or before `played` (in mixed frames) into `calls`.
  void TakeDue(uint64_t played, std::vector<SyncCall> *calls);

private:
  enum class State { Loaded, Playing, Paused, Ended };
  struct Sync {
    uint32_t handle;
    SyncProc proc;
    uint32_t user;
  };
  struct Channel {
    std::unique_ptr<Source> source;
    Kind kind;
    State state = State::Loaded;
    uint64_t position = 0;
    std::vector<Sync> syncs;
  };
  struct Pending {
    uint32_t channel;
    uint64_t frame;
  };
  Channel *Find(uint32_t handle);
  const Channel *Find(uint32_t handle) const;
  void End(uint32_t handle, Channel &channel, uint64_t frame);

  std::map<uint32_t, Channel> channels;
  std::vector<Pending> pending;
  uint32_t nextHandle = 0x10000;
  uint32_t nextSync = 1;
  uint64_t mixed = 0;
  std::vector<int32_t> sum;
  std::vector<int16_t> scratch;
};

}  // namespace audio
