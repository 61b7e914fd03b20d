#pragma once
#include <memory>

#include "audiolib/AudioError.h"
#include "audiolib/Reader.h"
#include "audiolib/Source.h"

namespace audio {

// A stream from a WAV or Ogg Vorbis file, tried in that order. kErrorFileForm when it is neither.
AudioError OpenStream(std::unique_ptr<Reader> reader, std::unique_ptr<Source> *out);

// A tracker module, whatever libxmp loads. Files above 64 MB are refused with kErrorMem.
AudioError OpenModule(Reader &reader, std::unique_ptr<Source> *out);

}  // namespace audio
