// Plays one file through the default sound output to its end, for the audio capture check.
// Usage: capture_play <file> [stall]. "stall" holds up the library's mixer thread in the end
// notification for 400 ms, longer than its queue lasts, so the queue runs dry. Exit codes: 0 played
// to its end, 2 no sound device, 3 file refused, 4 no end notification within the file's length
// plus two seconds.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "audiolib/bass.h"

namespace {
HANDLE ended;
bool stall = false;
void CALLBACK OnEnd(DWORD, DWORD, DWORD, DWORD) {
  SetEvent(ended);
  if (stall) Sleep(400);  // notifications run on the mixer thread
}
}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return 1;
  stall = argc > 2 && std::strcmp(argv[2], "stall") == 0;
  if (!BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr)) {
    std::printf("no sound device (error %d)\n", BASS_ErrorGetCode());
    return 2;
  }
  ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD h = BASS_MusicLoad(FALSE, argv[1], 0, 0, 0x2100);
  DWORD length = 0;
  if (h) {
    length = BASS_MusicGetLength(h, TRUE);
  } else {
    h = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, 0);
    length = h ? static_cast<DWORD>(BASS_StreamGetLength(h)) : 0;
  }
  if (!h) {
    std::printf("file refused (error %d)\n", BASS_ErrorGetCode());
    BASS_Free();
    return 3;
  }
  BASS_ChannelSetSync(h, BASS_SYNC_END, 0, OnEnd, 0);
  DWORD start = GetTickCount();
  if (!BASS_StreamPlay(h, FALSE, 0)) BASS_MusicPlay(h);
  DWORD wait = static_cast<DWORD>(BASS_ChannelBytes2Seconds(h, length) * 1000) + 2000;
  bool done = WaitForSingleObject(ended, wait) == WAIT_OBJECT_0;
  std::printf("end after %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
  // The end is reported when mixed: let the queue (200 ms) and the sound system pass the last part
  // on before closing.
  Sleep(600);
  BASS_MusicFree(h);
  BASS_Free();
  CloseHandle(ended);
  return done ? 0 : 4;
}
