#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audiolib/AudioError.h"
#include "audiolib/Engine.h"
#include "audiolib/Mixer.h"
#include "audiolib/OutputDevice.h"

namespace audio {

// Where a file comes from: a path (with an optional section) or a caller's memory block.
struct FileSpec {
  bool memory;
  const void *file;
  uint64_t offset;
  uint64_t length;  // 0: the rest of the file (paths only)
};

// The process-wide library: the channels, the output device and the mixer thread that keeps the
// device's queue filled (see Mixer) and reports channel ends as soon as it mixes them. One mutex
// guards everything; end procedures run on the mixer thread with the mutex released.
class Library {
public:
  Library() = default;
  ~Library();
  Library(const Library &) = delete;
  Library &operator=(const Library &) = delete;

  // -1: the default output (kErrorDriver when there is none); -2: the silent device.
  AudioError Init(int device);
  AudioError Free();
  AudioError Start();
  AudioError Stop();

  AudioError Load(Engine::Kind kind, const FileSpec &spec, uint32_t *handle);
  AudioError Play(uint32_t handle, Engine::Kind kind, bool restart);
  AudioError Length(uint32_t handle, Engine::Kind kind, uint64_t *frames);
  AudioError Orders(uint32_t handle, uint32_t *orders);
  // Frees a channel; when it returns no end procedure for it is running or will run.
  AudioError FreeChannel(uint32_t handle);
  AudioError Pause(uint32_t handle);
  AudioError Resume(uint32_t handle);
  AudioError Position(uint32_t handle, uint64_t *frame);
  // A byte position, or for modules the seconds form (see ModuleSecondsPosition).
  AudioError SetPosition(uint32_t handle, uint64_t position);
  AudioError Check(uint32_t handle);
  AudioError AddSync(uint32_t handle, uint32_t type, SyncProc proc, uint32_t user, uint32_t *sync);

private:
  void Run();
  bool OnMixerThread() const { return std::this_thread::get_id() == mixerId; }

  std::mutex lock;
  std::condition_variable delivered;
  Engine engine;
  std::unique_ptr<OutputDevice> device;
  std::unique_ptr<Mixer> mixer;
  std::thread thread;
  std::thread::id mixerId;
  bool initialised = false;
  bool quit = false;
  uint32_t delivering = 0;  // the channel whose end procedure is running
};

}  // namespace audio
