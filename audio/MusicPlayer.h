#pragma once

#include <windows.h>

#include "audiolib/bass.h"

class Application;

// Posted to the main window when a channel has reached its end; wParam is the channel that ended.
// The buttons use WM_USER + 1 to + 4, skinned windows + 5.
const UINT WMU_SONG_END = WM_USER + 20;

// The millisecond clock behind the elapsed time (timeGetTime); tests put their own clock here.
typedef DWORD(WINAPI *PlayerClock)(void);
extern PlayerClock playerClock;

// Plays one channel at a time through the audio library: a tracker module, or else a sampled
// stream. Elapsed time is kept with the millisecond clock, in unsigned 32-bit arithmetic so that a
// wrap of the clock during a song does not disturb it.
class MusicPlayer {
public:
    MusicPlayer();
    virtual ~MusicPlayer();

    // Opens the sound device; on failure the silent device is asked for and false is returned.
    // End-of-channel notices go to `window` as WMU_SONG_END while `application` is set.
    bool Init(Application *application, HWND window);
    bool Play(const char *file);
    bool LoadModule(const char *file);
    bool LoadStream(const char *file);
    void Release();
    void Pause();
    void Resume();
    void Seek(int seconds);
    int BytesToSeconds(QWORD bytes);
    int LengthSeconds();
    DWORD ElapsedSeconds();

    // The library's end-of-channel procedure, called on the library's own thread.
    static void CALLBACK OnChannelEnd(DWORD sync, DWORD channel, DWORD data, DWORD user);

    DWORD channel;
    bool paused;
    QWORD length;
    bool isStream;
    DWORD startTime;
    DWORD pauseTime;

private:
    MusicPlayer(const MusicPlayer &) = delete;
    MusicPlayer &operator=(const MusicPlayer &) = delete;
    void Started(bool stream);

    bool notifying; // this player set the process-wide notice target
};
