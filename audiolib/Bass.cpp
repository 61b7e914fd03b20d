// The exported functions: argument checks, unit conversions and error codes over Library.
#include "audiolib/bass.h"

#include <cmath>
#include <new>

#include "audiolib/Library.h"
#include "audiolib/OutputFormat.h"

using audio::AudioError;
using audio::Engine;
using audio::kBytesPerFrame;
using audio::kBytesPerSecond;
using audio::Library;

static_assert(BASS_OK == audio::kOk && BASS_ERROR_MEM == audio::kErrorMem &&
                  BASS_ERROR_FILEOPEN == audio::kErrorFileOpen && BASS_ERROR_DRIVER == audio::kErrorDriver &&
                  BASS_ERROR_HANDLE == audio::kErrorHandle && BASS_ERROR_FORMAT == audio::kErrorFormat &&
                  BASS_ERROR_POSITION == audio::kErrorPosition && BASS_ERROR_INIT == audio::kErrorInit &&
                  BASS_ERROR_ALREADY == audio::kErrorAlready && BASS_ERROR_NOPLAY == audio::kErrorNoPlay &&
                  BASS_ERROR_ILLPARAM == audio::kErrorIllParam && BASS_ERROR_DEVICE == audio::kErrorDevice &&
                  BASS_ERROR_FILEFORM == audio::kErrorFileForm,
              "error codes of bass.h and AudioError.h must agree");

// Caller and library must agree on every argument's width, or a 32-bit stdcall callee pops a
// different number of bytes than its caller pushed. BASS.def names each export with that number
// (@N); bass.h's prototypes must give the same.
template <typename Result, typename... Args>
constexpr unsigned StackBytes(Result(WINAPI *)(Args...)) {
  return (0u + ... + static_cast<unsigned>((sizeof(Args) + 3) / 4 * 4));
}
#ifndef _WIN64
#define MD_EXPORT(name, bytes) static_assert(StackBytes(&name) == (bytes), #name ": bass.h differs from BASS.def's @" #bytes);
#include "audiolib/ExportSizes.inc"
#undef MD_EXPORT
static_assert(sizeof(SYNCPROC *) == 4 && StackBytes(static_cast<SYNCPROC *>(nullptr)) == 16,
              "an end procedure takes four 32-bit arguments");
#endif

namespace {

constexpr QWORD kBadQword = ~0ull;
constexpr DWORD kBadDword = ~0u;

thread_local int lastError = BASS_OK;

Library &Lib() {
  static Library library;
  return library;
}

// Records the outcome of a call for BASS_ErrorGetCode; true on success.
bool Ok(AudioError error) {
  lastError = error;
  return error == audio::kOk;
}

// Runs one exported call. No exception may leave the library: a failed allocation anywhere inside
// gives `failed` and BASS_ERROR_MEM; anything else thrown gives `failed` and BASS_ERROR_UNKNOWN.
template <typename Result, typename Call>
Result Guarded(Result failed, Call call) {
  try {
    return call();
  } catch (const std::bad_alloc &) {
    lastError = BASS_ERROR_MEM;
  } catch (...) {
    lastError = BASS_ERROR_UNKNOWN;
  }
  return failed;
}

}  // namespace

extern "C" {

BOOL WINAPI BASS_Init(int device, DWORD, DWORD, HWND) {
  return Guarded<BOOL>(FALSE, [&] { return Ok(Lib().Init(device)); });
}
BOOL WINAPI BASS_Start(void) {
  return Guarded<BOOL>(FALSE, [] { return Ok(Lib().Start()); });
}
BOOL WINAPI BASS_Stop(void) {
  return Guarded<BOOL>(FALSE, [] { return Ok(Lib().Stop()); });
}
BOOL WINAPI BASS_Free(void) {
  return Guarded<BOOL>(FALSE, [] { return Ok(Lib().Free()); });
}
int WINAPI BASS_ErrorGetCode(void) { return lastError; }

HMUSIC WINAPI BASS_MusicLoad(BOOL mem, const void *file, DWORD offset, DWORD length, DWORD) {
  return Guarded<HMUSIC>(0, [&] {
    uint32_t handle = 0;
    return Ok(Lib().Load(Engine::Kind::Module, {mem != FALSE, file, offset, length}, &handle)) ? handle : 0;
  });
}

BOOL WINAPI BASS_MusicPlay(HMUSIC handle) {
  return Guarded<BOOL>(FALSE, [&] { return Ok(Lib().Play(handle, Engine::Kind::Module, false)); });
}

DWORD WINAPI BASS_MusicGetLength(HMUSIC handle, BOOL playlen) {
  return Guarded<DWORD>(kBadDword, [&] {
    if (!playlen) {
      uint32_t orders = 0;
      return Ok(Lib().Orders(handle, &orders)) ? orders : kBadDword;
    }
    uint64_t frames = 0;
    if (!Ok(Lib().Length(handle, Engine::Kind::Module, &frames))) return kBadDword;
    uint64_t bytes = frames * kBytesPerFrame;
    return bytes < kBadDword ? static_cast<DWORD>(bytes) : kBadDword - 1;
  });
}

BOOL WINAPI BASS_MusicFree(HMUSIC handle) {
  return Guarded<BOOL>(FALSE, [&] { return Ok(Lib().FreeChannel(handle)); });
}

HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void *file, QWORD offset, QWORD length, DWORD) {
  return Guarded<HSTREAM>(0, [&] {
    uint32_t handle = 0;
    return Ok(Lib().Load(Engine::Kind::Stream, {mem != FALSE, file, offset, length}, &handle)) ? handle : 0;
  });
}

BOOL WINAPI BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD) {
  return Guarded<BOOL>(FALSE, [&] { return Ok(Lib().Play(handle, Engine::Kind::Stream, flush != FALSE)); });
}

QWORD WINAPI BASS_StreamGetLength(HSTREAM handle) {
  return Guarded<QWORD>(kBadQword, [&] {
    uint64_t frames = 0;
    return Ok(Lib().Length(handle, Engine::Kind::Stream, &frames)) ? frames * kBytesPerFrame : kBadQword;
  });
}

BOOL WINAPI BASS_ChannelPause(DWORD handle) {
  return Guarded<BOOL>(FALSE, [&] { return Ok(Lib().Pause(handle)); });
}
BOOL WINAPI BASS_ChannelResume(DWORD handle) {
  return Guarded<BOOL>(FALSE, [&] { return Ok(Lib().Resume(handle)); });
}

QWORD WINAPI BASS_ChannelGetPosition(DWORD handle) {
  return Guarded<QWORD>(kBadQword, [&] {
    uint64_t frame = 0;
    return Ok(Lib().Position(handle, &frame)) ? frame * kBytesPerFrame : kBadQword;
  });
}

BOOL WINAPI BASS_ChannelSetPosition(DWORD handle, QWORD pos) {
  return Guarded<BOOL>(FALSE, [&] { return Ok(Lib().SetPosition(handle, pos)); });
}

float WINAPI BASS_ChannelBytes2Seconds(DWORD handle, QWORD bytes) {
  return Guarded<float>(-1.0f, [&] {
    if (!Ok(Lib().Check(handle))) return -1.0f;
    return static_cast<float>(static_cast<double>(bytes) / kBytesPerSecond);
  });
}

QWORD WINAPI BASS_ChannelSeconds2Bytes(DWORD handle, float seconds) {
  return Guarded<QWORD>(kBadQword, [&] {
    if (!Ok(Lib().Check(handle))) return kBadQword;
    // Beyond a million hours the byte count is meaningless (and no longer fits).
    if (!(seconds >= 0.0f) || seconds > 3.6e9f) {
      Ok(audio::kErrorIllParam);
      return kBadQword;
    }
    // To the nearest frame: 1/44100 s given as a float is one frame, not zero.
    return static_cast<QWORD>(std::llround(static_cast<double>(seconds) * audio::kOutputRate)) * kBytesPerFrame;
  });
}

HSYNC WINAPI BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC *proc, DWORD user) {
  return Guarded<HSYNC>(0, [&] {
    uint32_t sync = 0;
    return Ok(Lib().AddSync(handle, type, reinterpret_cast<audio::SyncProc>(proc), user, &sync)) ? sync : 0;
  });
}

}  // extern "C"
