#pragma once
#include <cstdint>
#include <vector>

#include "audiolib/AudioError.h"
#include "audiolib/Reader.h"

namespace audio {

// How a WAV file's samples are coded.
enum class WavCoding : uint8_t {
  kPcm,       // integers of 8 (unsigned), 16 or 24 bits
  kFloat,     // IEEE floating point, 32 or 64 bits
  kALaw,      // G.711, 8 bits
  kMuLaw,     // G.711, 8 bits
  kImaAdpcm,  // IMA (DVI) ADPCM, 4 bits, in blocks
  kMsAdpcm,   // Microsoft ADPCM, 4 bits, in blocks
  kMpeg,      // an MPEG audio stream (format tags 0x50 and 0x55), decoded as one
};

// What a WAV file holds, as far as playing it needs.
struct WavInfo {
  WavCoding coding = WavCoding::kPcm;
  uint32_t rate = 0;          // frames per second
  uint16_t channels = 0;      // 1 to kMaxWavChannels; ADPCM 1 or 2
  uint16_t bits = 0;          // per sample, as the coding above says (0 for MPEG)
  uint16_t blockAlign = 0;    // bytes per frame, or per block (ADPCM, MPEG)
  uint32_t channelMask = 0;   // speaker positions of an EXTENSIBLE file; 0: the usual order
  uint16_t blockFrames = 0;   // ADPCM: frames in one whole block
  std::vector<int16_t> coefficients;  // MS-ADPCM: the predictors' pairs, first and second
  uint64_t dataOffset = 0;    // where the first frame starts
  uint64_t dataBytes = 0;     // the data chunk's bytes present in the file
  uint64_t frames = 0;        // whole frames present in the file; 0 for MPEG (its stream tells)
};

// Sample rates outside this range are refused as absurd.
constexpr uint32_t kMinWavRate = 1000;
constexpr uint32_t kMaxWavRate = 384000;
constexpr uint16_t kMaxWavChannels = 32;

// Reads the RIFF/WAVE chunks. kErrorFileForm: not a WAV file, or one without playable data
// (no "fmt " or "data" chunk, zero frames); kErrorFormat: a WAV of a kind we do not play (other
// codings, EXTENSIBLE with another sub-format, more than 32 channels, odd bit depths, absurd rates,
// ADPCM blocks that cannot hold their frames). A data chunk that claims more bytes than the file
// holds is cut to what is there; an ADPCM file's "fact" chunk may shorten it to the frames coded.
AudioError ParseWav(Reader &reader, WavInfo *info);

}  // namespace audio
