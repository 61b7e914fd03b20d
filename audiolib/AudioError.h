#pragma once
// Error codes of the audio library, shared by the window-free core and the exported interface
// (bass.h repeats them as BASS_ERROR_* for callers; Bass.cpp checks that they agree).
namespace audio {

enum AudioError : int {
  kOk = 0,
  kErrorMem = 1,       // out of memory
  kErrorFileOpen = 2,  // the file could not be opened or read
  kErrorDriver = 3,    // no sound device, or it could not be opened
  kErrorHandle = 5,    // not a valid channel handle (or the wrong kind)
  kErrorFormat = 6,    // a sample format the library does not play
  kErrorPosition = 7,  // an invalid position
  kErrorInit = 8,      // not initialised
  kErrorAlready = 14,  // already initialised
  kErrorNoPlay = 24,   // the channel is not playing (pause) or not paused (resume)
  kErrorIllParam = 20, // an illegal parameter
  kErrorDevice = 23,   // an unknown device number
  kErrorFileForm = 41, // the file's format is not recognised
};

}  // namespace audio
