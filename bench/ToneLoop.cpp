// A minimal sound program for the benchmark's baselines: it plays a 440 Hz tone without end through
// winmm's waveOut the way the player's audio library does (eight blocks of 25 ms kept queued, a
// thread refilling them), in a small window named "ToneLoop". A click on the window pauses the
// device (waveOutPause) or continues it (waveOutRestart): how soon the sound server hears that is
// the floor for the player's Pause and Play. Left alone it is the sound half of the like-for-like
// CPU baseline; "ToneLoop.exe mute" turns the device's volume down (waveOutSetVolume), so that its
// tone does not mix into the recording of a player beside it, at the same cost.
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

constexpr int kBlocks = 8;
constexpr DWORD kFrames = 1103;

// The open device with its blocks, prepared once and closed at the end.
class ToneOutput {
public:
  ToneOutput() : done(CreateEventA(nullptr, FALSE, FALSE, nullptr)), samples(kBlocks * kFrames * 2) {}
  ~ToneOutput() {
    if (device) {
      waveOutReset(device);
      for (WAVEHDR &header : headers) waveOutUnprepareHeader(device, &header, sizeof header);
      waveOutClose(device);
    }
    if (done) CloseHandle(done);
  }
  ToneOutput(const ToneOutput &) = delete;
  ToneOutput &operator=(const ToneOutput &) = delete;

  bool Open(bool mute) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    if (!done || waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) !=
                     MMSYSERR_NOERROR) {
      device = nullptr;
      return false;
    }
    for (int i = 0; i < kBlocks; ++i) {
      headers[i].lpData = reinterpret_cast<LPSTR>(&samples[i * kFrames * 2]);
      headers[i].dwBufferLength = kFrames * 4;
      waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
      headers[i].dwFlags |= WHDR_DONE;  // free to fill
    }
    if (mute) waveOutSetVolume(device, 0);
    return true;
  }

  // Keeps every free block filled with the tone, in order, until `quit`.
  void Feed(const std::atomic<bool> &quit) {
    uint64_t frame = 0;
    for (int next = 0; !quit; WaitForSingleObject(done, 50)) {
      for (; headers[next].dwFlags & WHDR_DONE; next = (next + 1) % kBlocks) {
        short *out = reinterpret_cast<short *>(headers[next].lpData);
        for (DWORD i = 0; i < kFrames; ++i, ++frame)
          out[2 * i] = out[2 * i + 1] = static_cast<short>(16000 * std::sin(2 * 3.14159265358979 * 440 * frame / 44100.0));
        headers[next].dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        waveOutWrite(device, &headers[next], sizeof headers[next]);
      }
    }
  }

  void Toggle() {
    paused = !paused;
    if (paused)
      waveOutPause(device);
    else
      waveOutRestart(device);
  }

private:
  HANDLE done;
  HWAVEOUT device = nullptr;
  std::vector<short> samples;
  WAVEHDR headers[kBlocks] = {};
  bool paused = false;
};

ToneOutput *output = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_LBUTTONUP:
    output->Toggle();
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  ToneOutput tone;
  if (!tone.Open(lstrcmpA(commandLine, "mute") == 0)) return 1;
  output = &tone;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = "ToneLoop";
  RegisterClassA(&windowClass);
  if (!CreateWindowExA(0, "ToneLoop", "ToneLoop", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                       instance, nullptr))
    return 1;
  std::atomic<bool> quit{false};
  std::thread feeder([&] { tone.Feed(quit); });
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  quit = true;
  feeder.join();
  return 0;
}
