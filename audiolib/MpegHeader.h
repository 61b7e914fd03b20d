#pragma once
#include <cstdint>

#include "audiolib/Reader.h"

namespace audio {

// How much that is not MPEG audio may stand before the first frame, or between two frames.
constexpr uint64_t kMaxMpegJunk = 64u << 10;

// One MPEG audio frame header (MPEG-1, 2 and 2.5, layers I to III).
struct MpegHeader {
  int version = 0;  // 10: MPEG-1, 20: MPEG-2, 25: MPEG-2.5
  int layer = 0;
  uint32_t rate = 0;
  uint32_t frameBytes = 0;  // header included
  uint32_t samples = 0;     // per channel in one frame
};

// Reads the four header bytes at `p`. False for anything that is not a frame we can size: no sync,
// reserved fields, and free-format bit rates (their frame length is not in the header).
bool ParseMpegHeader(const uint8_t *p, MpegHeader *header);

// Where the frames of an MPEG audio file lie: after an ID3v2 tag and any junk (at most 64 KB), and
// before an ID3v1 tag and an APE tag at the end. A first frame holding a VBRI header is left out, as
// it carries no sound. The stream must start with two frames of the same version, layer and rate
// back to back (or one frame filling it): random bytes do not pass for MPEG audio.
// False: no such start (not MPEG audio).
bool FindMpegFrames(Reader &reader, uint64_t *begin, uint64_t *end);

}  // namespace audio
