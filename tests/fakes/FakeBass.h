#pragma once
// A recording stand-in for the audio library: the same functions as audiolib/bass.h, each of which
// appends one line such as "BASS_MusicLoad(0,a.mod,0,0,8448)" to the call log and answers from a
// script. Files are known by name; every other file fails to load.

#include <string>
#include <vector>

#include "audiolib/bass.h"

namespace fakebass {

// Forgets every call, script and channel.
void Reset();

// The calls so far, oldest first; TakeCalls also empties the log.
const std::vector<std::string> &Calls();
std::vector<std::string> TakeCalls();

// Loadable files: the module loader accepts modules, the stream loader streams. Handles are given
// out in order from 0x100 up; `bytes` is the length the library reports.
void AddModule(const std::string &file, DWORD bytes);
void AddStream(const std::string &file, QWORD bytes);

// Results of the next BASS_Init calls, in order (TRUE once the list is used up).
void ScriptInit(std::vector<BOOL> results);
// Position BASS_ChannelGetPosition reports, and BASS_ChannelSetPosition's result.
void ScriptPosition(QWORD position);
void ScriptSetPositionResult(BOOL result);

// The end procedure and the channel of the last BASS_ChannelSetSync.
SYNCPROC *SyncProc();
DWORD SyncChannel();

// Output format's bytes per second (44.1 kHz, 16-bit, stereo).
const QWORD kBytesPerSecond = 176400;

} // namespace fakebass
