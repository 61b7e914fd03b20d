#pragma once
#include <memory>

#include "audiolib/AudioError.h"
#include "audiolib/Reader.h"
#include "audiolib/Source.h"

namespace audio {

// A stream from a WAV, Ogg Vorbis or MPEG audio file, tried in that order. kErrorFileForm when it is
// none of them; kErrorFormat for a WAV or MPEG stream of a kind we do not play.
AudioError OpenStream(std::unique_ptr<Reader> reader, std::unique_ptr<Source> *out);

// A tracker module, whatever libxmp loads (see ModuleSource::Open). Files above 64 MB are refused
// with kErrorMem.
AudioError OpenModule(Reader &reader, std::unique_ptr<Source> *out);

}  // namespace audio
