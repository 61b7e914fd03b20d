// Measures the audio library under Wine for scripts/bench-audio. Prints one line of figures:
//   decode <file> <passes>          "decoded <audio seconds> <cpu seconds>" (as fast as it can)
//   play <file> <seconds> <device>  "played <wall seconds> <cpu seconds> <audio seconds>" through
//                                   BASS.dll in real time
//   idle <seconds>                  "idle <wall seconds> <cpu seconds>" (a Win32 program that waits)
//   dump <file> <out>               writes the file's sound as the library mixes it to <out>, raw
//                                   16-bit stereo 44.1 kHz (what a song itself holds, silences too)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "audiolib/FileReader.h"
#include "audiolib/Loader.h"
#include "audiolib/OutputFormat.h"
#include "audiolib/bass.h"

namespace {

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto value = [](const FILETIME &t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return (value(kernel) + value(user)) / 1e7;
}

double WallSeconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / frequency.QuadPart;
}

// A module first, else a stream, as the player tries them.
bool Open(const char *file, std::unique_ptr<audio::Source> *source) {
  std::unique_ptr<audio::FileReader> reader(new audio::FileReader());
  if (!reader->Open(file, 0, 0)) return false;
  return audio::OpenModule(*reader, source) == audio::kOk || audio::OpenStream(std::move(reader), source) == audio::kOk;
}

int Decode(const char *file, int passes) {
  std::vector<int16_t> block(2 * 4096);
  unsigned long long frames = 0;
  double cpu = CpuSeconds();
  for (int pass = 0; pass < passes; ++pass) {
    std::unique_ptr<audio::Source> source;
    if (!Open(file, &source)) return 3;
    for (size_t got = 4096; got == 4096;) frames += got = source->Read(block.data(), 4096);
  }
  std::printf("decoded %.3f %.3f\n", static_cast<double>(frames) / audio::kOutputRate, CpuSeconds() - cpu);
  return 0;
}

int Play(const char *file, double seconds, int device) {
  if (!BASS_Init(device, 44100, 0, nullptr)) return 2;
  DWORD h = BASS_MusicLoad(FALSE, file, 0, 0, 0x2100);
  if (h) {
    BASS_MusicPlay(h);
  } else if ((h = BASS_StreamCreateFile(FALSE, file, 0, 0, 0)) != 0) {
    BASS_StreamPlay(h, FALSE, 0);
  } else {
    return 3;
  }
  Sleep(300);  // past start-up
  double wall = WallSeconds(), cpu = CpuSeconds();
  QWORD from = BASS_ChannelGetPosition(h);
  Sleep(static_cast<DWORD>(seconds * 1000));
  double audio = BASS_ChannelBytes2Seconds(h, BASS_ChannelGetPosition(h) - from);
  std::printf("played %.3f %.3f %.3f\n", WallSeconds() - wall, CpuSeconds() - cpu, audio);
  BASS_Free();
  return 0;
}

int Dump(const char *file, const char *out) {
  std::unique_ptr<audio::Source> source;
  if (!Open(file, &source)) return 3;
  std::FILE *f = std::fopen(out, "wb");
  if (!f) return 4;
  std::vector<int16_t> block(2 * 4096);
  for (size_t got = 4096; got == 4096;) {
    got = source->Read(block.data(), 4096);
    std::fwrite(block.data(), sizeof(int16_t), 2 * got, f);
  }
  return std::fclose(f) == 0 ? 0 : 4;
}

int Idle(double seconds) {
  Sleep(300);
  double wall = WallSeconds(), cpu = CpuSeconds();
  Sleep(static_cast<DWORD>(seconds * 1000));
  std::printf("idle %.3f %.3f\n", WallSeconds() - wall, CpuSeconds() - cpu);
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc >= 4 && std::strcmp(argv[1], "decode") == 0) return Decode(argv[2], std::atoi(argv[3]));
  if (argc >= 5 && std::strcmp(argv[1], "play") == 0) return Play(argv[2], std::atof(argv[3]), std::atoi(argv[4]));
  if (argc >= 3 && std::strcmp(argv[1], "idle") == 0) return Idle(std::atof(argv[2]));
  if (argc >= 4 && std::strcmp(argv[1], "dump") == 0) return Dump(argv[2], argv[3]);
  std::fprintf(stderr,
               "usage: audiolib_bench decode <file> <passes> | play <file> <seconds> <device> | idle <seconds> | "
               "dump <file> <out>\n");
  return 1;
}
