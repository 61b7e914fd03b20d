#include "audiolib/Loader.h"

#include <new>

#include "audiolib/AdpcmDecoder.h"
#include "audiolib/DecodedSource.h"
#include "audiolib/ModuleSource.h"
#include "audiolib/MpegDecoder.h"
#include "audiolib/SectionReader.h"
#include "audiolib/VorbisDecoder.h"
#include "audiolib/WavDecoder.h"
#include "audiolib/WavParser.h"

namespace audio {

namespace {

constexpr uint64_t kMaxModuleBytes = 64u << 20;

AudioError OpenMpeg(std::unique_ptr<Reader> reader, std::unique_ptr<Decoder> *out) {
  std::unique_ptr<MpegDecoder> mpeg;
  AudioError error = MpegDecoder::Open(std::move(reader), &mpeg);
  if (error == kOk) *out = std::move(mpeg);
  return error;
}

AudioError OpenWav(std::unique_ptr<Reader> reader, const WavInfo &info, std::unique_ptr<Decoder> *out) {
  switch (info.coding) {
    case WavCoding::kMpeg: {
      std::unique_ptr<Reader> data(new (std::nothrow) SectionReader(std::move(reader), info.dataOffset, info.dataBytes));
      if (!data) return kErrorMem;
      AudioError error = OpenMpeg(std::move(data), out);
      // A WAV file is recognised; MPEG data that is not is a coding we do not play.
      return error == kErrorFileForm ? kErrorFormat : error;
    }
    case WavCoding::kImaAdpcm:
    case WavCoding::kMsAdpcm:
      out->reset(new (std::nothrow) AdpcmDecoder(std::move(reader), info));
      break;
    default:
      out->reset(new (std::nothrow) WavDecoder(std::move(reader), info));
  }
  return *out ? kOk : kErrorMem;
}

}  // namespace

AudioError OpenStream(std::unique_ptr<Reader> reader, std::unique_ptr<Source> *out) {
  WavInfo info;
  AudioError error = ParseWav(*reader, &info);
  std::unique_ptr<Decoder> decoder;
  if (error == kOk) {
    error = OpenWav(std::move(reader), info, &decoder);
  } else if (error == kErrorFileForm) {
    std::unique_ptr<VorbisDecoder> vorbis;
    error = VorbisDecoder::Open(*reader, &vorbis);
    if (error == kOk) decoder = std::move(vorbis);
    else if (error == kErrorFileForm) error = OpenMpeg(std::move(reader), &decoder);
  }
  if (error != kOk) return error;
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
  const size_t count = static_cast<size_t>(size);
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[count]);
  if (!bytes) return kErrorMem;
  if (reader.ReadAt(0, bytes.get(), count) != count) return kErrorFileOpen;
  std::unique_ptr<ModuleSource> module;
  AudioError error = ModuleSource::Open(bytes.get(), count, &module);
  if (error == kOk) *out = std::move(module);
  return error;
}

}  // namespace audio
