// BASS.dll through its exported functions under Wine: devices, loading, lengths, conversions,
// positions, pause and resume, end notifications and bad input. Channels play on the silent device,
// which keeps real time, so the timing checks hold without a sound card.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "audiolib/bass.h"
#include "tests/audiolib/BassTestFiles.h"

using namespace audiotest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr QWORD kBad64 = ~0ull;
constexpr DWORD kBad32 = ~0u;

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }
void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Counts end notifications and notes when and on which thread the first came.
struct EndLog {
  std::atomic<int> calls{0};
  std::atomic<DWORD> channel{0};
  std::atomic<DWORD> thread{0};
  std::atomic<DWORD> data{1};
  Clock::time_point first;
  int sleepMs = 0;
  std::atomic<bool> finished{false};
};

// A pointer does not fit the 32-bit user value in 64-bit builds: the user value indexes a table.
EndLog logs[8];

void CALLBACK OnEndIndexed(DWORD, DWORD channel, DWORD data, DWORD user) {
  EndLog &log = logs[user];
  if (log.calls++ == 0) log.first = Clock::now();
  log.channel = channel;
  log.data = data;
  log.thread = GetCurrentThreadId();
  if (log.sleepMs) Sleep(log.sleepMs);
  log.finished = true;
}

// For registrations that must fail.
void CALLBACK OnEnd(DWORD, DWORD, DWORD, DWORD) {}

bool WaitFor(const std::atomic<int> &calls, int count, int ms) {
  auto start = Clock::now();
  while (calls < count && Since(start) * 1000 < ms) Sleep(5);
  return calls >= count;
}

class BassDll : public ::testing::Test {
protected:
  void SetUp() override {
    for (EndLog &log : logs) {
      log.calls = 0;
      log.sleepMs = 0;
      log.finished = false;
    }
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_SILENT, 44100, 0, nullptr)) << BASS_ErrorGetCode();
  }
  void TearDown() override { BASS_Free(); }

  DWORD Stream(const std::string &file) {
    DWORD h = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, 0);
    EXPECT_NE(h, 0u) << file << " error " << BASS_ErrorGetCode();
    return h;
  }
  DWORD SecondsWav(const char *name, double seconds, uint32_t rate = 44100) {
    WavSpec spec;
    spec.rate = rate;
    spec.frames = static_cast<uint64_t>(seconds * rate);
    return Stream(WriteWav(name, spec));
  }
};

}  // namespace

TEST(BassDllNoInit, EveryCallFailsBeforeInitAndAfterFree) {
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      ASSERT_TRUE(BASS_Init(BASS_DEVICE_SILENT, 44100, 0, nullptr));
      ASSERT_TRUE(BASS_Free());
    }
    std::string wav = WriteWav("noinit.wav", WavSpec());
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Stop());
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(BASS_MusicLoad(FALSE, "test.it", 0, 0, 0x2100), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, wav.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_MusicPlay(0x10000));
    EXPECT_EQ(BASS_MusicGetLength(0x10000, TRUE), kBad32);
    EXPECT_FALSE(BASS_MusicFree(0x10000));
    EXPECT_FALSE(BASS_StreamPlay(0x10000, FALSE, 0));
    EXPECT_EQ(BASS_StreamGetLength(0x10000), kBad64);
    EXPECT_FALSE(BASS_ChannelPause(0x10000));
    EXPECT_FALSE(BASS_ChannelResume(0x10000));
    EXPECT_EQ(BASS_ChannelGetPosition(0x10000), kBad64);
    EXPECT_FALSE(BASS_ChannelSetPosition(0x10000, 0));
    EXPECT_EQ(BASS_ChannelBytes2Seconds(0x10000, 176400), -1.0f);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(0x10000, 1.0f), kBad64);
    EXPECT_EQ(BASS_ChannelSetSync(0x10000, BASS_SYNC_END, 0, OnEnd, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  }
}

TEST(BassDllNoInit, DevicesOpenAsDocumented) {
  EXPECT_FALSE(BASS_Init(3, 44100, 0, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
  // The default output opens exactly when Windows has an output device.
  if (waveOutGetNumDevs() == 0) {
    EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
  } else {
    EXPECT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_TRUE(BASS_Free());
  }
  ASSERT_TRUE(BASS_Init(BASS_DEVICE_SILENT, 44100, 0, nullptr));
  EXPECT_FALSE(BASS_Init(BASS_DEVICE_SILENT, 44100, 0, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
  EXPECT_TRUE(BASS_Start());
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  EXPECT_TRUE(BASS_Free());
  EXPECT_FALSE(BASS_Free());
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST_F(BassDll, StreamLengthsAndConversions) {
  struct Case {
    const char *name;
    WavSpec spec;
    QWORD bytes;
  } cases[] = {
      {"s16-44100.wav", {44100, 2, 16, 44100, 1000, 0.5, 1}, 176400},
      {"u8-mono-22050.wav", {22050, 1, 8, 11025, 440, 0.5, 1}, 88200},
      {"s24-48000.wav", {48000, 2, 24, 96000, 440, 0.5, 1}, 352800},
  };
  for (const Case &c : cases) {
    DWORD h = Stream(WriteWav(c.name, c.spec));
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_StreamGetLength(h), c.bytes) << c.name;
    EXPECT_FLOAT_EQ(BASS_ChannelBytes2Seconds(h, c.bytes), static_cast<float>(c.bytes / 176400.0)) << c.name;
    EXPECT_TRUE(BASS_MusicFree(h));
  }
  DWORD ogg = Stream("tone-44100.ogg");
  EXPECT_EQ(BASS_StreamGetLength(ogg), 352800u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(ogg, 2.5f), 441000u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(ogg, 0.0f), 0u);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(ogg, 1.0f / 44100), 4u);
  EXPECT_FLOAT_EQ(BASS_ChannelBytes2Seconds(ogg, 441000), 2.5f);
  EXPECT_EQ(BASS_MusicGetLength(ogg, TRUE), kBad32) << "a stream is not a module";
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  DWORD mono = Stream("tone-22050-mono.ogg");
  EXPECT_EQ(BASS_StreamGetLength(mono), 264600u);
}

TEST_F(BassDll, StreamsFromMemoryAndFileSections) {
  WavSpec spec;
  spec.frames = 4410;
  std::vector<uint8_t> wav = MakeWav(spec);
  // 100 bytes before the file and 50 after it.
  std::vector<uint8_t> padded(100 + wav.size() + 50, 0xEE);
  std::copy(wav.begin(), wav.end(), padded.begin() + 100);
  DWORD mem = BASS_StreamCreateFile(TRUE, padded.data(), 100, wav.size(), 0);
  ASSERT_NE(mem, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_StreamGetLength(mem), 17640u);
  std::string file = WriteFile("section.bin", padded);
  DWORD section = BASS_StreamCreateFile(FALSE, file.c_str(), 100, wav.size(), 0);
  ASSERT_NE(section, 0u) << BASS_ErrorGetCode();
  EXPECT_EQ(BASS_StreamGetLength(section), 17640u);
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, 0), 0u) << "the padding hides the RIFF header";
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST_F(BassDll, ModuleLoadsWithLengthAndOnlyAsAModule) {
  DWORD h = BASS_MusicLoad(FALSE, "test.it", 0, 0, 0x2100);
  ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
  DWORD bytes = BASS_MusicGetLength(h, TRUE);
  EXPECT_GT(bytes, 176400u);
  EXPECT_EQ(bytes % 4, 0u);
  EXPECT_GT(BASS_MusicGetLength(h, FALSE), 0u);
  EXPECT_LT(BASS_MusicGetLength(h, FALSE), 256u) << "positions, not bytes";
  EXPECT_EQ(BASS_StreamGetLength(h), kBad64);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
  EXPECT_TRUE(BASS_MusicPlay(h));
  EXPECT_TRUE(BASS_MusicFree(h));
  // The program tries every song as a module first: streams must be refused so it falls back.
  std::string wav = WriteWav("not-a-module.wav", WavSpec());
  EXPECT_EQ(BASS_MusicLoad(FALSE, wav.c_str(), 0, 0, 0x2100), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
  EXPECT_EQ(BASS_MusicLoad(FALSE, "tone-44100.ogg", 0, 0, 0x2100), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST_F(BassDll, SilentDeviceEndsAChannelInRealTimeExactlyOnce) {
  DWORD h = SecondsWav("half-second.wav", 0.5);
  ASSERT_NE(BASS_ChannelSetSync(h, BASS_SYNC_END, 0, OnEndIndexed, 0), 0u);
  auto start = Clock::now();
  ASSERT_TRUE(BASS_StreamPlay(h, FALSE, 0));
  ASSERT_TRUE(WaitFor(logs[0].calls, 1, 3000));
  double took = std::chrono::duration<double>(logs[0].first - start).count();
  // When the mixer reaches the end, with the output queue's 200 ms still to be played.
  EXPECT_GE(took, 0.27);
  // Late only by the mixer's wake-ups and a busy machine's scheduling; twice as long would not be.
  EXPECT_LE(took, 0.8);
  EXPECT_EQ(logs[0].channel, h);
  EXPECT_EQ(logs[0].data, 0u);
  EXPECT_NE(logs[0].thread, GetCurrentThreadId()) << "on the library's own thread";
  Sleep(400);
  EXPECT_EQ(logs[0].calls, 1);
  EXPECT_EQ(BASS_ChannelGetPosition(h), 88200u);
}

// The player sets its procedure after starting the channel: a song shorter than the output queue
// may have ended by then.
TEST_F(BassDll, AnEndBeforeTheProcedureIsSetIsReportedOnceWhenItIs) {
  DWORD h = SecondsWav("short.wav", 0.05);
  ASSERT_TRUE(BASS_StreamPlay(h, FALSE, 0));
  Sleep(150);
  ASSERT_NE(BASS_ChannelSetSync(h, BASS_SYNC_END, 0, OnEndIndexed, 0), 0u);
  ASSERT_TRUE(WaitFor(logs[0].calls, 1, 500));
  Sleep(200);
  EXPECT_EQ(logs[0].calls, 1);
}

TEST_F(BassDll, PositionFollowsTheClockAndStopsWhilePaused) {
  DWORD h = SecondsWav("three-seconds.wav", 3.0);
  BASS_ChannelSetSync(h, BASS_SYNC_END, 0, OnEndIndexed, 1);
  auto start = Clock::now();
  BASS_StreamPlay(h, FALSE, 0);
  Sleep(500);
  double at = BASS_ChannelBytes2Seconds(h, BASS_ChannelGetPosition(h));
  // What has been played: the first channel starts at once.
  EXPECT_GE(at, 0.45);
  EXPECT_LE(at, Since(start) + 0.01);
  ASSERT_TRUE(BASS_ChannelPause(h));
  EXPECT_FALSE(BASS_ChannelPause(h));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOPLAY);
  Sleep(100);
  QWORD paused = BASS_ChannelGetPosition(h);
  Sleep(600);
  EXPECT_EQ(BASS_ChannelGetPosition(h), paused);
  ASSERT_TRUE(BASS_ChannelResume(h));
  EXPECT_FALSE(BASS_ChannelResume(h));
  // 3 s of sound plus the pause, less the output queue's 200 ms: the end is mixed 3.5 s after the
  // start, or one 25 ms block earlier.
  ASSERT_TRUE(WaitFor(logs[1].calls, 1, 5000));
  double took = std::chrono::duration<double>(logs[1].first - start).count();
  std::printf("the end came %.3f s after the start\n", took);
  EXPECT_GE(took, 3.45);
  EXPECT_LE(took, 3.9);
}

TEST_F(BassDll, StopHoldsEverythingAndStartContinues) {
  DWORD h = SecondsWav("stop.wav", 2.0);
  BASS_StreamPlay(h, FALSE, 0);
  Sleep(300);
  ASSERT_TRUE(BASS_Stop());
  Sleep(150);
  QWORD held = BASS_ChannelGetPosition(h);
  Sleep(400);
  EXPECT_EQ(BASS_ChannelGetPosition(h), held);
  ASSERT_TRUE(BASS_Start());
  Sleep(300);
  EXPECT_GT(BASS_ChannelGetPosition(h), held);
}

TEST_F(BassDll, SeekingStreamsAndModules) {
  DWORD h = SecondsWav("seek.wav", 2.0);
  BASS_ChannelSetSync(h, BASS_SYNC_END, 0, OnEndIndexed, 2);
  BASS_StreamPlay(h, FALSE, 0);
  auto start = Clock::now();
  ASSERT_TRUE(BASS_ChannelSetPosition(h, BASS_ChannelSeconds2Bytes(h, 1.7f)));
  QWORD pos = BASS_ChannelGetPosition(h);
  EXPECT_GE(pos, 299880u);
  ASSERT_TRUE(WaitFor(logs[2].calls, 1, 2000));
  EXPECT_LE(std::chrono::duration<double>(logs[2].first - start).count(), 0.6) << "0.3 s were left";

  // At or past the end: the channel ends at once, once.
  DWORD past = SecondsWav("past.wav", 2.0);
  BASS_ChannelSetSync(past, BASS_SYNC_END, 0, OnEndIndexed, 3);
  BASS_StreamPlay(past, FALSE, 0);
  ASSERT_TRUE(BASS_ChannelSetPosition(past, BASS_StreamGetLength(past)));
  ASSERT_TRUE(WaitFor(logs[3].calls, 1, 500));
  BASS_ChannelSetPosition(past, kBad64);
  Sleep(200);
  EXPECT_EQ(logs[3].calls, 1);

  // Modules: the seconds form.
  DWORD mod = BASS_MusicLoad(FALSE, "test.it", 0, 0, 0x2100);
  ASSERT_NE(mod, 0u);
  BASS_ChannelSetSync(mod, BASS_SYNC_END, 0, OnEndIndexed, 4);
  BASS_MusicPlay(mod);
  ASSERT_TRUE(BASS_ChannelSetPosition(mod, 0xFFFFFFFF00000000ull | 0xFFFF0000u | 3u));
  float at = BASS_ChannelBytes2Seconds(mod, BASS_ChannelGetPosition(mod));
  EXPECT_GE(at, 3.0f);
  EXPECT_LE(at, 3.2f);
  EXPECT_EQ(logs[4].calls, 0);
  ASSERT_TRUE(BASS_ChannelSetPosition(mod, 0xFFFFFFFF00000000ull | 0xFFFF0000u | 0xFFFFu));
  ASSERT_TRUE(WaitFor(logs[4].calls, 1, 500)) << "65535 s is past the end";
}

TEST_F(BassDll, AModulePlaysThroughToOneEnd) {
  DWORD mod = BASS_MusicLoad(FALSE, "test.it", 0, 0, 0x2100);
  ASSERT_NE(mod, 0u);
  double length = BASS_ChannelBytes2Seconds(mod, BASS_MusicGetLength(mod, TRUE));
  // Start near the end so the test stays short.
  BASS_ChannelSetSync(mod, BASS_SYNC_END, 0, OnEndIndexed, 5);
  BASS_MusicPlay(mod);
  DWORD from = static_cast<DWORD>(length) - 1;
  BASS_ChannelSetPosition(mod, 0xFFFFFFFFFFFF0000ull | from);
  auto start = Clock::now();
  ASSERT_TRUE(WaitFor(logs[5].calls, 1, 4000));
  double took = std::chrono::duration<double>(logs[5].first - start).count();
  std::printf("the end came %.3f s after the seek, %.3f s left to hear\n", took, length - from);
  // Up to 0.4 s late seen on a loaded machine (the device's clock waits its turn): twice that.
  EXPECT_NEAR(took, length - from - 0.2, 0.8) << "mixed 200 ms before it is heard";
  Sleep(1500);
  EXPECT_EQ(logs[5].calls, 1) << "no loop back to the start";
}

TEST_F(BassDll, AnMp3StreamPlaysThroughToOneEndAfterASeek) {
  // Made by make-streams.sh (this test's fixture): 3 s of LAME-tagged VBR, 132300 frames.
  DWORD h = Stream("streams/l3-vbr-44100.mp3");
  ASSERT_NE(h, 0u);
  EXPECT_EQ(BASS_StreamGetLength(h), 132300u * 4);
  ASSERT_NE(BASS_ChannelSetSync(h, BASS_SYNC_END, 0, OnEndIndexed, 6), 0u);
  ASSERT_TRUE(BASS_StreamPlay(h, FALSE, 0));
  // The player's seek: to a time given in seconds, 1 s before the end.
  ASSERT_TRUE(BASS_ChannelSetPosition(h, BASS_ChannelSeconds2Bytes(h, 2.0f)));
  auto start = Clock::now();
  ASSERT_TRUE(WaitFor(logs[6].calls, 1, 3000));
  double took = std::chrono::duration<double>(logs[6].first - start).count();
  std::printf("the end came %.3f s after the seek, 1 s left to hear\n", took);
  // Mixed 200 ms before it is heard: 0.8 s, never earlier than one block before. Up to 0.4 s late
  // seen beside other end-to-end runs (the device's clock waits its turn): twice that. A seek that
  // did not move would end 2.8 s after it.
  EXPECT_GE(took, 0.75);
  EXPECT_LE(took, 1.6);
  Sleep(400);
  EXPECT_EQ(logs[6].calls, 1);
  EXPECT_EQ(BASS_ChannelGetPosition(h), 132300u * 4);
}

TEST_F(BassDll, FreeCancelsAndWaitsForTheEndProcedure) {
  // Freed before the mixer reaches its end (200 ms before it would be heard): no call at all.
  DWORD early = SecondsWav("early.wav", 0.6);
  BASS_ChannelSetSync(early, BASS_SYNC_END, 0, OnEndIndexed, 6);
  BASS_StreamPlay(early, FALSE, 0);
  Sleep(200);
  ASSERT_TRUE(BASS_MusicFree(early));
  Sleep(500);
  EXPECT_EQ(logs[6].calls, 0);
  EXPECT_FALSE(BASS_ChannelPause(early));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

  // Freed while its procedure runs: Free returns only after the procedure has.
  logs[7].sleepMs = 300;
  DWORD busy = SecondsWav("busy.wav", 0.1);
  BASS_ChannelSetSync(busy, BASS_SYNC_END, 0, OnEndIndexed, 7);
  BASS_StreamPlay(busy, FALSE, 0);
  ASSERT_TRUE(WaitFor(logs[7].calls, 1, 2000));
  ASSERT_TRUE(BASS_MusicFree(busy));
  EXPECT_TRUE(logs[7].finished);
}

TEST_F(BassDll, BadInputFailsWithAReason) {
  WavSpec spec;
  spec.frames = 1000;
  std::vector<uint8_t> wav = MakeWav(spec);
  std::vector<uint8_t> headerOnly(wav.begin(), wav.begin() + 44);
  WavSpec floatSpec = spec;
  floatSpec.tag = 3;
  std::vector<uint8_t> text(5000, 'x');
  struct Case {
    const char *name;
    std::string file;
    int streamError;
  } cases[] = {
      {"missing", "no-such-file.wav", BASS_ERROR_FILEOPEN},
      {"empty", WriteFile("empty.wav", {}), BASS_ERROR_FILEFORM},
      {"header only", WriteFile("header-only.wav", headerOnly), BASS_ERROR_FILEFORM},
      {"text", WriteFile("text.wav", text), BASS_ERROR_FILEFORM},
      {"float WAV", WriteWav("float.wav", floatSpec), BASS_ERROR_FORMAT},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, c.file.c_str(), 0, 0, 0), 0u) << c.name;
    EXPECT_EQ(BASS_ErrorGetCode(), c.streamError) << c.name;
    EXPECT_EQ(BASS_MusicLoad(FALSE, c.file.c_str(), 0, 0, 0x2100), 0u) << c.name;
    EXPECT_NE(BASS_ErrorGetCode(), BASS_OK) << c.name;
  }
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, nullptr, 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, wav.data(), 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "tone-44100.ogg", 1u << 30, 0, 0), 0u) << "offset past the end";

  // A very large file: modules are refused by size, streams by content, without reading it all.
  HANDLE big = CreateFileA("big.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(big, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 200ll << 20;
  SetFilePointerEx(big, size, nullptr, FILE_BEGIN);
  SetEndOfFile(big);
  CloseHandle(big);
  EXPECT_EQ(BASS_MusicLoad(FALSE, "big.bin", 0, 0, 0x2100), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_MEM);
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "big.bin", 0, 0, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
  DeleteFileA("big.bin");

  // Handles that are not channels.
  DWORD h = Stream(WriteFile("ok.wav", wav));
  const DWORD bad[] = {0, 1, h + 1000, 0xFFFFFFFFu};
  for (DWORD b : bad) {
    EXPECT_FALSE(BASS_StreamPlay(b, FALSE, 0)) << b;
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE) << b;
    EXPECT_FALSE(BASS_MusicPlay(b)) << b;
    EXPECT_FALSE(BASS_MusicFree(b)) << b;
    EXPECT_EQ(BASS_ChannelGetPosition(b), kBad64) << b;
    EXPECT_FALSE(BASS_ChannelSetPosition(b, 0)) << b;
    EXPECT_EQ(BASS_ChannelBytes2Seconds(b, 4), -1.0f) << b;
    EXPECT_EQ(BASS_ChannelSetSync(b, BASS_SYNC_END, 0, OnEnd, 0), 0u) << b;
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE) << b;
  }
  EXPECT_FALSE(BASS_MusicPlay(h)) << "a stream is not a module";
  EXPECT_EQ(BASS_ChannelSetSync(h, 3, 0, OnEnd, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_ChannelSetSync(h, BASS_SYNC_END, 0, nullptr, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
  EXPECT_EQ(BASS_ChannelSeconds2Bytes(h, -1.0f), kBad64);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
}

TEST_F(BassDll, PathsADiskMayNotNameAreRefusedAsMissingFiles) {
  // Each name reaches a file that is there, or a device or another computer, other than by a path
  // inside the working folder.
  char full[MAX_PATH];
  ASSERT_GT(GetFullPathNameA("tone-44100.ogg", sizeof full, full, nullptr), 0u);
  const std::string names[] = {full, "..\\audiolib\\tone-44100.ogg", "NUL", "nul.ogg", "tone-44100.ogg:hidden",
                               "\\\\nohost\\share\\tone.ogg", "//nohost/share/tone.ogg", "\\\\.\\NUL"};
  for (const std::string &name : names) {
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, name.c_str(), 0, 0, 0), 0u) << name;
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN) << name;
    EXPECT_EQ(BASS_MusicLoad(FALSE, name.c_str(), 0, 0, 0x2100), 0u) << name;
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN) << name;
  }
  EXPECT_NE(Stream(".\\tone-44100.ogg"), 0u);
}

TEST_F(BassDll, MemoryOutsideTheAddressSpaceIsRefused) {
  WavSpec spec;
  spec.frames = 1000;
  std::vector<uint8_t> wav = MakeWav(spec);
  const uintptr_t at = reinterpret_cast<uintptr_t>(wav.data());
  // An offset that wraps the pointer round to address 16; on the 32-bit build also one above 4 GB,
  // whose low half (0) would name the buffer itself.
  std::vector<QWORD> offsets = {static_cast<QWORD>(UINTPTR_MAX - at) + 17};
  if (sizeof(void *) == 4) offsets.push_back(1ull << 32);
  for (QWORD offset : offsets) {
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, wav.data(), offset, wav.size(), 0), 0u) << offset;
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM) << offset;
    if (offset > 0xFFFFFFFFu) continue;
    EXPECT_EQ(BASS_MusicLoad(TRUE, wav.data(), static_cast<DWORD>(offset), static_cast<DWORD>(wav.size()), 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM) << offset;
  }
}

#ifndef _WIN64
// Reserves every free stretch of the address space without committing it, so that large
// allocations fail as they do in a 32-bit process that has used its 2 GB up.
class AddressSpaceFull {
public:
  AddressSpaceFull() {
    held.reserve(1 << 16);
    for (SIZE_T size = SIZE_T{1} << 30; size >= 64 * 1024 && held.size() < held.capacity();) {
      if (void *p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) held.push_back(p);
      else size /= 2;
    }
  }
  ~AddressSpaceFull() {
    for (void *p : held) VirtualFree(p, 0, MEM_RELEASE);
  }
  AddressSpaceFull(const AddressSpaceFull &) = delete;
  AddressSpaceFull &operator=(const AddressSpaceFull &) = delete;

private:
  std::vector<void *> held;
};

TEST_F(BassDll, OutOfMemoryFailsTheCallWithAMemoryError) {
  // 16 MB each: a module is copied whole for libxmp, an Ogg stream for stb_vorbis.
  for (const char *name : {"big-module.bin", "big-stream.ogg"}) {
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (std::strstr(name, ".ogg")) WriteFile(file, "OggS", 4, &written, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 16ll << 20;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
  }
  DWORD module = 1, stream = 1;
  int moduleError = 0, streamError = 0;
  {
    AddressSpaceFull full;
    module = BASS_MusicLoad(FALSE, "big-module.bin", 0, 0, 0x2100);
    moduleError = BASS_ErrorGetCode();
    stream = BASS_StreamCreateFile(FALSE, "big-stream.ogg", 0, 0, 0);
    streamError = BASS_ErrorGetCode();
  }
  DeleteFileA("big-module.bin");
  DeleteFileA("big-stream.ogg");
  EXPECT_EQ(module, 0u);
  EXPECT_EQ(moduleError, BASS_ERROR_MEM);
  EXPECT_EQ(stream, 0u);
  EXPECT_EQ(streamError, BASS_ERROR_MEM);
  EXPECT_NE(BASS_MusicLoad(FALSE, "test.it", 0, 0, 0x2100), 0u) << "the library goes on";
}
#endif

TEST_F(BassDll, FreeingTheLibraryWhilePlayingReleasesEverything) {
  DWORD a = SecondsWav("a.wav", 2.0);
  DWORD m = BASS_MusicLoad(FALSE, "test.it", 0, 0, 0x2100);
  BASS_ChannelSetSync(a, BASS_SYNC_END, 0, OnEndIndexed, 0);
  BASS_StreamPlay(a, FALSE, 0);
  BASS_MusicPlay(m);
  Sleep(100);
  ASSERT_TRUE(BASS_Free());
  EXPECT_EQ(BASS_ChannelGetPosition(a), kBad64);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
  Sleep(300);
  EXPECT_EQ(logs[0].calls, 0);
  ASSERT_TRUE(BASS_Init(BASS_DEVICE_SILENT, 44100, 0, nullptr));
  EXPECT_EQ(BASS_ChannelGetPosition(a), kBad64) << "old handles stay invalid";
}
