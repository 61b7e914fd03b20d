#include "audiolib/VorbisDecoder.h"

#include <new>

#define STB_VORBIS_HEADER_ONLY
#include "audiolib/StbVorbisNames.h"
#include <stb/stb_vorbis.h>

#include "audiolib/OggHeaderCheck.h"
#include "audiolib/WavParser.h"

namespace audio {

namespace {
// Files are copied into memory; a Vorbis song is a few megabytes, so this is generous.
constexpr uint64_t kMaxVorbisBytes = 128u << 20;
// The decoder's working buffer: enough for common streams at first, at most this much.
constexpr size_t kFirstArena = 256u << 10;
constexpr size_t kMaxArena = 64u << 20;
}  // namespace

VorbisDecoder::~VorbisDecoder() {
  if (vorbis) stb_vorbis_close(vorbis);
}

AudioError VorbisDecoder::Open(Reader &reader, std::unique_ptr<VorbisDecoder> *out) {
  uint64_t size = reader.Size();
  if (size < 4) return kErrorFileForm;
  uint8_t magic[4];
  if (reader.ReadAt(0, magic, 4) != 4 || magic[0] != 'O' || magic[1] != 'g' || magic[2] != 'g' || magic[3] != 'S')
    return kErrorFileForm;
  if (size > kMaxVorbisBytes) return kErrorMem;

  std::unique_ptr<VorbisDecoder> decoder(new (std::nothrow) VorbisDecoder());
  if (!decoder) return kErrorMem;
  const size_t bytes = static_cast<size_t>(size);
  decoder->bytes.reset(new (std::nothrow) uint8_t[bytes]);
  if (!decoder->bytes) return kErrorMem;
  if (reader.ReadAt(0, decoder->bytes.get(), bytes) != bytes) return kErrorFileOpen;

  if (!VorbisCommentsFit(decoder->bytes.get(), bytes)) return kErrorFileForm;
  // stb_vorbis loses some of its own allocations when a stream's setup is malformed; given a
  // working buffer of ours it takes everything from there, and the buffer goes with the decoder.
  // The buffer grows until the setup and the decoding's temporary memory both fit.
  size_t arenaSize = kFirstArena;
  for (;;) {
    decoder->arena.reset(new (std::nothrow) char[arenaSize]());
    if (!decoder->arena) return kErrorMem;
    stb_vorbis_alloc alloc = {decoder->arena.get(), static_cast<int>(arenaSize)};
    int error = 0;
    decoder->vorbis = stb_vorbis_open_memory(decoder->bytes.get(), static_cast<int>(bytes), &error, &alloc);
    size_t need = 0;
    if (decoder->vorbis) {
      stb_vorbis_info setup = stb_vorbis_get_info(decoder->vorbis);
      need = static_cast<size_t>(setup.setup_memory_required) + setup.temp_memory_required;
      if (need <= arenaSize) break;
      stb_vorbis_close(decoder->vorbis);
      decoder->vorbis = nullptr;
    } else if (error != VORBIS_outofmem) {
      return kErrorFileForm;
    }
    arenaSize = need + 4096 > 2 * arenaSize ? need + 4096 : 2 * arenaSize;
    if (arenaSize > kMaxArena) return kErrorMem;
  }
  stb_vorbis_info info = stb_vorbis_get_info(decoder->vorbis);
  if (info.channels < 1 || info.sample_rate < kMinWavRate || info.sample_rate > kMaxWavRate) return kErrorFormat;
  unsigned int length = stb_vorbis_stream_length_in_samples(decoder->vorbis);
  if (length == 0 || length == 0xffffffffu) return kErrorFileForm;
  // The granule position is only a claim (0xFFFFFFF0 would be 27 hours): the packets bound it.
  const uint64_t packets = OggPacketsAtMost(decoder->bytes.get(), bytes);
  const uint64_t most = packets * static_cast<uint64_t>(info.max_frame_size > 0 ? info.max_frame_size : 0);
  if (length > most) length = static_cast<unsigned int>(most);
  if (length == 0) return kErrorFileForm;
  // Finding the length moved the decoder; start again from the first sample.
  if (!stb_vorbis_seek_start(decoder->vorbis)) return kErrorFileForm;
  decoder->rate = info.sample_rate;
  decoder->frames = length;
  *out = std::move(decoder);
  return kOk;
}

size_t VorbisDecoder::Read(float *stereo, size_t count) {
  size_t done = 0;
  while (!exhausted && done < count) {
    size_t want = count - done;
    if (want > 1 << 16) want = 1 << 16;
    int got = stb_vorbis_get_samples_float_interleaved(vorbis, 2, stereo + 2 * done, static_cast<int>(want * 2));
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

bool VorbisDecoder::Seek(uint64_t frame) {
  if (frame >= frames) {
    exhausted = true;
    return true;
  }
  exhausted = !stb_vorbis_seek(vorbis, static_cast<unsigned int>(frame));
  return !exhausted;
}

}  // namespace audio
