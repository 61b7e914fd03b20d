#include "audiolib/Library.h"

#include <cstdio>
#include <new>
#include <system_error>

#include "audiolib/FileReader.h"
#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/ModuleSource.h"
#include "audiolib/OutputFormat.h"
#include "audiolib/SilentDevice.h"
#include "audiolib/WaveOutDevice.h"
#include "descriptor/DiskPath.h"

namespace audio {

namespace {

constexpr uint32_t kSyncEnd = 2;
constexpr unsigned kWaitMs = 50;

// Whether `length` bytes from `offset` past `base` lie inside the address space: on the 32-bit
// build a 64-bit offset above 4 GB would otherwise be cut to its low half, and any offset may wrap
// the pointer around.
bool FitsInMemory(const void *base, uint64_t offset, uint64_t length) {
  const uint64_t address = reinterpret_cast<uintptr_t>(base), top = UINTPTR_MAX;
  return offset <= top - address && length <= top - address - offset;
}

AudioError OpenReader(const FileSpec &spec, std::unique_ptr<Reader> *reader) {
  if (!spec.file) return kErrorFileOpen;
  if (spec.memory) {
    if (spec.length == 0 || !FitsInMemory(spec.file, spec.offset, spec.length)) return kErrorIllParam;
    reader->reset(new MemoryReader(static_cast<const uint8_t *>(spec.file) + static_cast<uintptr_t>(spec.offset),
                                   static_cast<size_t>(spec.length)));
    return kOk;
  }
  // Files are named as the disk names them: nothing outside the disk's folder, no other computer
  // and no device (see DiskPath).
  const char *path = static_cast<const char *>(spec.file);
  if (!DiskPath::Allowed(path)) return kErrorFileOpen;
  std::unique_ptr<FileReader> file(new FileReader());
  if (!file->Open(path, spec.offset, spec.length)) return kErrorFileOpen;
  *reader = std::move(file);
  return kOk;
}

}  // namespace

Library::~Library() {
  // Reached only at process exit without Free: the mixer thread is gone already, never join it,
  // and the sound system must not be called while the process is being torn down, so the device
  // is left to the system on purpose.
  if (thread.joinable()) {
    thread.detach();
    static_cast<void>(device.release());
  }
}

AudioError Library::Init(int deviceNumber) {
  std::lock_guard<std::mutex> guard(lock);
  if (initialised) return kErrorAlready;
  if (deviceNumber == -1) {
    std::unique_ptr<WaveOutDevice> wave(new WaveOutDevice());
    AudioError error = wave->Open();
    if (error != kOk) return error;
    device = std::move(wave);
  } else if (deviceNumber == -2) {
    device.reset(new SilentDevice());
  } else {
    return kErrorDevice;
  }
  mixer.reset(new Mixer(engine, *device));
  initialised = true;
  quit = false;
  try {
    thread = std::thread(&Library::Run, this);
  } catch (const std::system_error &) {
    // No thread could be made (out of memory or handles): no device either.
    initialised = false;
    mixer.reset();
    device.reset();
    return kErrorMem;
  }
  mixerId = thread.get_id();
  return kOk;
}

AudioError Library::Free() {
  std::unique_lock<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  // Joining itself would hang: an end procedure cannot shut the library down.
  if (OnMixerThread()) return kErrorIllParam;
  quit = true;
  guard.unlock();
  thread.join();
  guard.lock();
  mixer.reset();
  engine.Clear();
  device.reset();
  initialised = false;
  return kOk;
}

AudioError Library::Start() {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  mixer->Run(true);
  return kOk;
}

AudioError Library::Stop() {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  mixer->Run(false);
  return kOk;
}

AudioError Library::Load(Engine::Kind kind, const FileSpec &spec, uint32_t *handle) {
  {
    std::lock_guard<std::mutex> guard(lock);
    if (!initialised) return kErrorInit;
  }
  // Files are opened and decoders set up without the lock, so playback goes on meanwhile.
  std::unique_ptr<Reader> reader;
  AudioError error = OpenReader(spec, &reader);
  if (error != kOk) return error;
  std::unique_ptr<Source> source;
  error = kind == Engine::Kind::Module ? OpenModule(*reader, &source) : OpenStream(std::move(reader), &source);
  if (error != kOk) return error;
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  *handle = engine.Add(std::move(source), kind);
  return kOk;
}

AudioError Library::Play(uint32_t handle, Engine::Kind kind, bool restart) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  if (!engine.Is(handle, kind)) return kErrorHandle;
  return mixer->Play(handle, restart);
}

AudioError Library::Length(uint32_t handle, Engine::Kind kind, uint64_t *frames) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  if (!engine.Is(handle, kind)) return kErrorHandle;
  return engine.Length(handle, frames);
}

AudioError Library::Orders(uint32_t handle, uint32_t *orders) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  if (!engine.Is(handle, Engine::Kind::Module)) return kErrorHandle;
  *orders = engine.ModuleOrders(handle);
  return kOk;
}

AudioError Library::FreeChannel(uint32_t handle) {
  std::unique_lock<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  AudioError error = mixer->Free(handle);
  if (error != kOk) return error;
  // An end procedure of this channel may be running right now; wait it out, unless we are in it.
  while (delivering == handle && !OnMixerThread()) delivered.wait(guard);
  return kOk;
}

AudioError Library::Pause(uint32_t handle) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  return mixer->Pause(handle);
}

AudioError Library::Resume(uint32_t handle) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  return mixer->Resume(handle);
}

AudioError Library::Position(uint32_t handle, uint64_t *frame) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  return mixer->Position(handle, frame);
}

AudioError Library::SetPosition(uint32_t handle, uint64_t position) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  uint32_t seconds = 0;
  uint64_t frame = position / kBytesPerFrame;
  if (engine.Is(handle, Engine::Kind::Module) && ModuleSecondsPosition(position, &seconds))
    frame = static_cast<uint64_t>(seconds) * kOutputRate;
  return mixer->SetPosition(handle, frame);
}

AudioError Library::Check(uint32_t handle) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  return engine.Has(handle) ? kOk : kErrorHandle;
}

AudioError Library::AddSync(uint32_t handle, uint32_t type, SyncProc proc, uint32_t user, uint32_t *sync) {
  std::lock_guard<std::mutex> guard(lock);
  if (!initialised) return kErrorInit;
  if (!engine.Has(handle)) return kErrorHandle;
  if (type != kSyncEnd) return kErrorIllParam;
  return engine.AddSync(handle, proc, user, sync);
}

void Library::Run() {
  // Above the window thread, so a busy user interface never starves the device's queue.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  std::vector<SyncCall> calls;
  std::unique_lock<std::mutex> guard(lock);
  while (!quit) {
    calls.clear();
    try {
      mixer->Fill();
      uint64_t gap = 0;
      if (engine.TakeGap(&gap)) {
        char text[96];
        std::snprintf(text, sizeof text, "audio: %llu frames of silence between two channels\n",
                      static_cast<unsigned long long>(gap));
        OutputDebugStringA(text);
      }
      uint64_t late = 0;
      if (mixer->TakeLate(&late)) {
        char text[96];
        std::snprintf(text, sizeof text, "audio: sound queued %llu ms after it was asked for\n",
                      static_cast<unsigned long long>(late));
        OutputDebugStringA(text);
      }
      engine.TakeEnds(&calls);
    } catch (const std::bad_alloc &) {
      // Out of memory: nothing may leave this thread. The ends taken so far are called below; the
      // rest stay due for the next turn.
    }
    for (const SyncCall &call : calls) {
      if (!engine.Has(call.channel)) continue;  // freed by an earlier procedure
      delivering = call.channel;
      guard.unlock();
      reinterpret_cast<void(CALLBACK *)(DWORD, DWORD, DWORD, DWORD)>(call.proc)(call.sync, call.channel, 0, call.user);
      guard.lock();
      delivering = 0;
      delivered.notify_all();
    }
    unsigned wait = mixer->WaitTime(kWaitMs);
    guard.unlock();
    device->Wait(wait);
    guard.lock();
  }
}

}  // namespace audio
