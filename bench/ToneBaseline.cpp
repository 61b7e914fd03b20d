// The baseline of the start-up-to-first-audio benchmark: a minimal Win32 program that opens the
// default wave output at once and plays two seconds of a 440 Hz tone, then ends.
#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <vector>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return 1;
    std::vector<short> samples(2 * 44100 * 2);
    for (size_t i = 0; i < samples.size() / 2; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            static_cast<short>(12000 * std::sin(2 * 3.14159265 * 440 * static_cast<double>(i) / 44100));
    WAVEHDR header = {};
    header.lpData = reinterpret_cast<LPSTR>(samples.data());
    header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(short));
    waveOutPrepareHeader(device, &header, sizeof header);
    waveOutWrite(device, &header, sizeof header);
    for (int waited = 0; !(header.dwFlags & WHDR_DONE) && waited < 400; ++waited)
        Sleep(10);
    waveOutReset(device);
    waveOutUnprepareHeader(device, &header, sizeof header);
    waveOutClose(device);
    return 0;
}
