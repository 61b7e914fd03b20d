#include "audiolib/MpegDecoder.h"

#include <mpg123.h>

#include <cstdio>
#include <new>

#include "audiolib/MpegHeader.h"
#include "audiolib/SectionReader.h"

namespace audio {

struct MpegInput {
  std::unique_ptr<Reader> reader;
  uint64_t offset = 0;
};

namespace {

// libmpg123 counts bytes in off_t, 32 bits on Windows.
constexpr uint64_t kMaxMpegBytes = 0x7FFFFFFFu;
constexpr long kPreFrames = 12;

mpg123_ssize_t ReadBytes(void *handle, void *buffer, size_t size) {
  MpegInput *input = static_cast<MpegInput *>(handle);
  size_t got = input->reader->ReadAt(input->offset, buffer, size);
  input->offset += got;
  return static_cast<mpg123_ssize_t>(got);
}

off_t SeekBytes(void *handle, off_t offset, int whence) {
  MpegInput *input = static_cast<MpegInput *>(handle);
  int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<int64_t>(input->offset)
                                                             : static_cast<int64_t>(input->reader->Size());
  int64_t to = base + offset;
  if (to < 0 || static_cast<uint64_t>(to) > kMaxMpegBytes) return -1;
  input->offset = static_cast<uint64_t>(to);
  return static_cast<off_t>(to);
}

bool Initialised() {
  // Once per process; since libmpg123 1.27 this only sets up tables.
  static const bool done = mpg123_init() == MPG123_OK;
  return done;
}

}  // namespace

MpegDecoder::MpegDecoder() : input(new MpegInput()) {}

MpegDecoder::~MpegDecoder() {
  if (handle) {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
}

AudioError MpegDecoder::Open(std::unique_ptr<Reader> reader, std::unique_ptr<MpegDecoder> *out) {
  uint64_t begin = 0, end = 0;
  if (!FindMpegFrames(*reader, &begin, &end)) return kErrorFileForm;
  if (end - begin > kMaxMpegBytes) return kErrorMem;
  if (!Initialised()) return kErrorMem;
  std::unique_ptr<MpegDecoder> decoder(new (std::nothrow) MpegDecoder());
  if (!decoder || !decoder->input) return kErrorMem;
  decoder->input->reader.reset(new (std::nothrow) SectionReader(std::move(reader), begin, end - begin));
  if (!decoder->input->reader) return kErrorMem;

  int error = MPG123_OK;
  mpg123_handle *h = decoder->handle = mpg123_new(nullptr, &error);
  if (!h) return kErrorMem;
  // Any rate, always stereo float: mono is spread to both sides by the library. Streams stuck
  // together stay allowed (refusing them would also end a stream at the first damaged stretch); a
  // change of rate in one is silence from there on rather than sound at the wrong speed.
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO, 0);
  // After a seek, layer III frames borrow bytes from up to 511 (MPEG-1) or 255 bytes before them:
  // at the smallest bit rates that is a dozen frames, which are decoded first and dropped.
  mpg123_param(h, MPG123_PREFRAMES, kPreFrames, 0);
  mpg123_format_none(h);
  const long *rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i)
    if (mpg123_format(h, rates[i], MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK) return kErrorFormat;
  if (mpg123_replace_reader_handle(h, ReadBytes, SeekBytes, nullptr) != MPG123_OK) return kErrorMem;
  if (mpg123_open_handle(h, decoder->input.get()) != MPG123_OK) return kErrorFileForm;
  long fileRate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(h, &fileRate, &channels, &encoding) != MPG123_OK) return kErrorFileForm;
  if (channels != 2 || encoding != MPG123_ENC_FLOAT_32) return kErrorFormat;
  if (mpg123_scan(h) != MPG123_OK) return kErrorFileForm;
  off_t length = mpg123_length(h);
  if (length <= 0) return kErrorFileForm;
  decoder->rate = static_cast<uint32_t>(fileRate);
  decoder->frames = static_cast<uint64_t>(length);
  if (mpg123_seek(h, 0, SEEK_SET) < 0) return kErrorFileForm;
  *out = std::move(decoder);
  return kOk;
}

size_t MpegDecoder::Read(float *stereo, size_t count) {
  if (ended) return 0;
  if (count > frames - position) count = static_cast<size_t>(frames - position);
  size_t done = 0;
  while (done < count) {
    size_t bytes = 0;
    int result = mpg123_read(handle, reinterpret_cast<unsigned char *>(stereo + 2 * done),
                             (count - done) * 2 * sizeof(float), &bytes);
    done += bytes / (2 * sizeof(float));
    if (result == MPG123_NEW_FORMAT) {
      long now = 0;
      int channels = 0, encoding = 0;
      if (mpg123_getformat(handle, &now, &channels, &encoding) == MPG123_OK && static_cast<uint32_t>(now) == rate) continue;
      ended = true;
      break;
    }
    if (result != MPG123_OK || bytes == 0) {
      // A damaged or cut stream: what came before is played, the rest is silence.
      ended = true;
      break;
    }
  }
  position += done;
  return done;
}

bool MpegDecoder::Seek(uint64_t frame) {
  if (frame > frames) frame = frames;
  off_t at = mpg123_seek(handle, static_cast<off_t>(frame), SEEK_SET);
  ended = at < 0;
  position = ended ? frames : static_cast<uint64_t>(at);
  return !ended;
}

}  // namespace audio
