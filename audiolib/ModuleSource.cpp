#include "audiolib/ModuleSource.h"

#include <cstring>
#include <new>

#include <xmp.h>

#include "audiolib/MpegHeader.h"
#include "audiolib/OutputFormat.h"

namespace audio {

namespace {

bool ValidPoint(int index, int points) { return index >= 0 && index < points; }

void CheckEnvelope(xmp_envelope &env) {
  if (env.npt < 0) env.npt = 0;
  if (env.npt > XMP_MAX_ENV_POINTS) env.npt = XMP_MAX_ENV_POINTS;
  if (!ValidPoint(env.sus, env.npt) || !ValidPoint(env.sue, env.npt))
    env.flg &= ~(XMP_ENVELOPE_SUS | XMP_ENVELOPE_SLOOP);
  if (!ValidPoint(env.lps, env.npt) || !ValidPoint(env.lpe, env.npt)) env.flg &= ~XMP_ENVELOPE_LOOP;
}

}  // namespace

// libxmp 4.5.0 takes envelope sustain and loop points from the file without checking them against
// the number of points, and its player then reads past the envelope (found by fuzzing an IT file).
// Points outside the envelope are dropped here: the envelope plays without that sustain or loop.
void ModuleSource::CheckEnvelopes(xmp_module *mod) {
  if (!mod || !mod->xxi) return;
  for (int i = 0; i < mod->ins; ++i) {
    CheckEnvelope(mod->xxi[i].aei);
    CheckEnvelope(mod->xxi[i].pei);
    CheckEnvelope(mod->xxi[i].fei);
  }
}

// Every song is offered to the module loader first; libxmp's probes look for their formats' marks
// anywhere in the first kilobytes (a "M.K." at byte 1080 is a module), so a stream's sample data
// can pass for a module and play as noise. Streams are told by their own first bytes instead.
bool ModuleSource::PlainlyStream(const uint8_t *bytes, size_t size) {
  auto starts = [&](const char *mark, size_t at = 0) {
    size_t n = std::strlen(mark);
    return size >= at + n && std::memcmp(bytes + at, mark, n) == 0;
  };
  if ((starts("RIFF") && starts("WAVE", 8)) || starts("OggS") || starts("fLaC") || starts("ID3")) return true;
  MpegHeader first, second;
  if (size < 4 || !ParseMpegHeader(bytes, &first)) return false;
  const size_t next = first.frameBytes;
  return next + 4 <= size && ParseMpegHeader(bytes + next, &second) && second.version == first.version &&
         second.layer == first.layer && second.rate == first.rate;
}

ModuleSource::~ModuleSource() {
  if (!context) return;
  xmp_end_player(context);
  xmp_release_module(context);
  xmp_free_context(context);
}

AudioError ModuleSource::Open(const void *data, size_t size, std::unique_ptr<ModuleSource> *out) {
  if (!data || size == 0 || size > 0x7fffffff) return kErrorFileForm;
  if (PlainlyStream(static_cast<const uint8_t *>(data), size)) return kErrorFileForm;
  std::unique_ptr<ModuleSource> source(new (std::nothrow) ModuleSource());
  if (!source) return kErrorMem;
  source->context = xmp_create_context();
  if (!source->context) return kErrorMem;
  int error = xmp_load_module_from_memory(source->context, data, static_cast<long>(size));
  if (error != 0) {
    // Without a loaded module only the context needs freeing.
    xmp_free_context(source->context);
    source->context = nullptr;
    return error == -XMP_ERROR_SYSTEM ? kErrorMem : kErrorFileForm;
  }
  xmp_module_info loaded;
  xmp_get_module_info(source->context, &loaded);
  CheckEnvelopes(loaded.mod);
  if (xmp_start_player(source->context, kOutputRate, 0) != 0) {
    xmp_release_module(source->context);
    xmp_free_context(source->context);
    source->context = nullptr;
    return kErrorFileForm;
  }
  xmp_frame_info fi;
  xmp_get_frame_info(source->context, &fi);
  xmp_module_info mi;
  xmp_get_module_info(source->context, &mi);
  source->frames = fi.total_time > 0 ? static_cast<uint64_t>(fi.total_time) * kOutputRate / 1000 : 0;
  source->orders = mi.mod && mi.mod->len > 0 ? static_cast<uint32_t>(mi.mod->len) : 0;
  *out = std::move(source);
  return kOk;
}

// Plays one libxmp frame into `pending`; false at the song's end.
bool ModuleSource::NextFrame() {
  if (ended) return false;
  if (xmp_play_frame(context) != 0) {
    ended = true;
    return false;
  }
  xmp_frame_info fi;
  xmp_get_frame_info(context, &fi);
  if (fi.loop_count > loopBase || !fi.buffer || fi.buffer_size <= 0) {
    ended = true;
    return false;
  }
  pending.resize(static_cast<size_t>(fi.buffer_size) / sizeof(int16_t));
  std::memcpy(pending.data(), fi.buffer, pending.size() * sizeof(int16_t));
  pendingAt = 0;
  return true;
}

size_t ModuleSource::Read(int16_t *out, size_t count) {
  size_t done = 0;
  while (done < count) {
    if (pendingAt >= pending.size() && !NextFrame()) break;
    size_t n = (pending.size() - pendingAt) / 2;
    if (n > count - done) n = count - done;
    std::memcpy(out + 2 * done, pending.data() + pendingAt, n * 2 * sizeof(int16_t));
    pendingAt += n * 2;
    done += n;
  }
  position += done;
  return done;
}

void ModuleSource::Seek(uint64_t frame) {
  // libxmp moves to the start of the pattern that holds the time; play on from there, unheard,
  // to the exact frame.
  xmp_frame_info fi;
  xmp_get_frame_info(context, &fi);
  loopBase = fi.loop_count;  // a song played to its end has counted a loop already
  xmp_seek_time(context, static_cast<int>(frame * 1000 / kOutputRate));
  ended = false;
  pending.clear();
  pendingAt = 0;
  if (!NextFrame()) return;
  xmp_get_frame_info(context, &fi);
  // The reported time already counts the frame just played.
  int64_t startUs = static_cast<int64_t>(fi.time) * 1000 - fi.frame_time;
  uint64_t at = startUs > 0 ? static_cast<uint64_t>(startUs) * kOutputRate / 1000000 : 0;
  while (at < frame) {
    size_t n = (pending.size() - pendingAt) / 2;
    if (n > frame - at) n = static_cast<size_t>(frame - at);
    pendingAt += n * 2;
    at += n;
    if (at < frame && pendingAt >= pending.size() && !NextFrame()) break;
  }
  position = at;
}

}  // namespace audio
