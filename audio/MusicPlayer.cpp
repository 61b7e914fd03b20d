#include "audio/MusicPlayer.h"

#include <atomic>

#include <mmsystem.h>

PlayerClock playerClock = timeGetTime;

namespace {

// Where end-of-channel notices go. Read on the library's thread, written on the window thread.
std::atomic<Application *> noticeApplication{nullptr};
std::atomic<HWND> noticeWindow{nullptr};

// The library's error value of a position: both halves all ones.
const QWORD kBadPosition = ~QWORD(0);

// Targets beyond this are taken as a move to before the start (a wrapped negative sum).
const DWORD kLatestTarget = 31000000;

// Flags of the module loader: the library's choice of playback options for musicdisks.
const DWORD kModuleFlags = 0x2100;

} // namespace

MusicPlayer::MusicPlayer()
    : channel(0), paused(false), length(0), isStream(false), startTime(playerClock()), pauseTime(0),
      notifying(false)
{
}

MusicPlayer::~MusicPlayer()
{
    Release();
    if (notifying) {
        noticeApplication = nullptr;
        noticeWindow = nullptr;
    }
    BASS_Stop();
    BASS_Free();
}

bool MusicPlayer::Init(Application *application, HWND window)
{
    noticeWindow = window;
    noticeApplication = application;
    notifying = true;
    if (BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, window)) {
        BASS_Start();
        return true;
    }
    BASS_ErrorGetCode();
    BASS_Init(BASS_DEVICE_SILENT, 44100, 0, window);
    return false;
}

bool MusicPlayer::Play(const char *file)
{
    return LoadModule(file) || LoadStream(file);
}

// Steps shared by both loaders once the new channel plays.
void MusicPlayer::Started(bool stream)
{
    startTime = playerClock();
    paused = false;
    isStream = stream;
}

bool MusicPlayer::LoadModule(const char *file)
{
    HMUSIC music = BASS_MusicLoad(FALSE, file, 0, 0, kModuleFlags);
    if (music == 0) {
        BASS_ErrorGetCode();
        return false;
    }
    Release();
    channel = music;
    BASS_MusicPlay(channel);
    Started(false);
    length = BASS_MusicGetLength(channel, TRUE);
    BASS_ChannelSetSync(channel, BASS_SYNC_END, 0, OnChannelEnd, 0);
    return true;
}

bool MusicPlayer::LoadStream(const char *file)
{
    HSTREAM stream = BASS_StreamCreateFile(FALSE, file, 0, 0, 0);
    if (stream == 0) {
        BASS_ErrorGetCode();
        return false;
    }
    Release();
    channel = stream;
    BASS_StreamPlay(channel, FALSE, 0);
    Started(true);
    length = BASS_StreamGetLength(channel);
    BASS_ChannelSetSync(channel, BASS_SYNC_END, 0, OnChannelEnd, 0);
    return true;
}

void MusicPlayer::Release()
{
    if (channel != 0) {
        BASS_MusicFree(channel);
        channel = 0;
    }
}

void MusicPlayer::Pause()
{
    if (channel != 0 && !paused) {
        BASS_ChannelPause(channel);
        paused = true;
        pauseTime = playerClock();
    }
}

void MusicPlayer::Resume()
{
    if (paused && channel != 0) {
        BASS_ChannelResume(channel);
        paused = false;
        startTime += playerClock() - pauseTime;
        pauseTime = 0;
    }
}

// While paused the song's current second is the one the pause froze, and the pause is restarted at
// the seek, so that Resume continues from the target.
void MusicPlayer::Seek(int seconds)
{
    if (channel == 0)
        return;
    DWORD now = playerClock();
    DWORD target = 0;
    if (isStream) {
        QWORD position = BASS_ChannelGetPosition(channel);
        if (position != kBadPosition) {
            target = static_cast<DWORD>(BytesToSeconds(position)) + static_cast<DWORD>(seconds);
            if (target > kLatestTarget)
                target = 0;
            QWORD bytes = BASS_ChannelSeconds2Bytes(channel, static_cast<float>(target));
            if (!BASS_ChannelSetPosition(channel, bytes))
                BASS_ErrorGetCode();
        }
    } else {
        DWORD current = ((paused ? pauseTime : now) - startTime) / 1000;
        target = current + static_cast<DWORD>(seconds);
        if (target > kLatestTarget)
            target = 0;
        // The library takes a position of this form as a time in seconds from the start.
        QWORD position = (QWORD(0xFFFFFFFFu) << 32) | (0xFFFF0000u | (target & 0xFFFFu));
        BASS_ChannelSetPosition(channel, position);
    }
    startTime = now - target * 1000;
    if (paused)
        pauseTime = now;
}

int MusicPlayer::BytesToSeconds(QWORD bytes)
{
    if (channel == 0)
        return 0;
    float seconds = BASS_ChannelBytes2Seconds(channel, bytes);
    // Out-of-range values (and NaN) have no int; they count as no time at all.
    if (!(seconds > -2147483648.0f && seconds < 2147483648.0f))
        return 0;
    return static_cast<int>(seconds);
}

int MusicPlayer::LengthSeconds()
{
    return BytesToSeconds(length);
}

DWORD MusicPlayer::ElapsedSeconds()
{
    if (paused)
        return (pauseTime - startTime) / 1000;
    return (playerClock() - startTime) / 1000;
}

void CALLBACK MusicPlayer::OnChannelEnd(DWORD, DWORD channel, DWORD, DWORD)
{
    // Only the window thread touches the controller: hand the notice over with the channel, so that
    // a notice for a song the user has already left can be told apart there.
    HWND window = noticeWindow;
    if (noticeApplication != nullptr && window != nullptr)
        PostMessageA(window, WMU_SONG_END, channel, 0);
}
