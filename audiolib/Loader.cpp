#include "audiolib/Loader.h"

#include <new>
#include <vector>

#include "audiolib/DecodedSource.h"
#include "audiolib/ModuleSource.h"
#include "audiolib/VorbisDecoder.h"
#include "audiolib/WavDecoder.h"
#include "audiolib/WavParser.h"

namespace audio {

namespace {
constexpr uint64_t kMaxModuleBytes = 64u << 20;
}

AudioError OpenStream(std::unique_ptr<Reader> reader, std::unique_ptr<Source> *out) {
  WavInfo info;
  AudioError error = ParseWav(*reader, &info);
  std::unique_ptr<Decoder> decoder;
  if (error == kOk) {
    decoder.reset(new (std::nothrow) WavDecoder(std::move(reader), info));
    if (!decoder) return kErrorMem;
  } else if (error == kErrorFileForm) {
    std::unique_ptr<VorbisDecoder> vorbis;
    error = VorbisDecoder::Open(*reader, &vorbis);
    if (error != kOk) return error;
    decoder = std::move(vorbis);
  } else {
    return error;
  }
  std::unique_ptr<Source> source(new (std::nothrow) DecodedSource(std::move(decoder)));
  if (!source) return kErrorMem;
  // Too short to last one output frame: nothing to play.
  if (source->Frames() == 0) return kErrorFileForm;
  *out = std::move(source);
  return kOk;
}

AudioError OpenModule(Reader &reader, std::unique_ptr<Source> *out) {
  uint64_t size = reader.Size();
  if (size == 0) return kErrorFileForm;
  if (size > kMaxModuleBytes) return kErrorMem;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (reader.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) return kErrorFileOpen;
  std::unique_ptr<ModuleSource> module;
  AudioError error = ModuleSource::Open(bytes.data(), bytes.size(), &module);
  if (error == kOk) *out = std::move(module);
  return error;
}

}  // namespace audio
