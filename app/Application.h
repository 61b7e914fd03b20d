#pragma once

#include <windows.h>

#include <memory>

#include "app/MainWindow.h"
#include "app/PlayerDisplay.h"
#include "audio/MusicPlayer.h"
#include "descriptor/Descriptor.h"
#include "dialogs/InfoDialogList.h"

// The one object that lives for the whole run: it owns the main window, the playback engine, the
// display controls' handles, the descriptor and the info dialogs, and it is the player controller.
class Application {
public:
    Application();
    virtual ~Application();

    // Start-up, then the main message loop; returns the quit message's wParam.
    int Run(HINSTANCE instance);

    // Start-up steps.
    // The main window from gui\skin.ini, centred, hidden, draggable, with the program's icons.
    HWND CreateMainWindow(HINSTANCE instance);
    void LoadDescriptor();
    void PlaySplashMusic();
    // The info dialogs, hidden, owned by the main window.
    void CreateDialogs(HINSTANCE instance);

    // Player controller, called by the main window (buttons, display timer, song-end notices).
    void Play();
    void Pause();
    void Stop();
    void Seek(int seconds);
    void Next();
    void Previous();
    void RefreshElapsed();
    void OpenInfoDialog(const char* name);
    // WMU_SONG_END from the audio library's thread, channel = the channel that ended. Acts only
    // while that channel is still the current one: a notice for a song the user has left by then
    // must not skip the song that replaced it.
    void OnSongEndNotice(DWORD channel);
    void OnSongEnd();

    // Song navigation: AdvanceIndex wraps around the song list; Step starts the next playable song
    // in the given direction, or leaves the display idle when there is none.
    int AdvanceIndex(int direction);
    void Step(int direction);
    void ShowSongInfo();
    void ResetDisplay();

    MainWindow mainWindow;
    MusicPlayer player;
    PlayerDisplay display;
    std::unique_ptr<InfoDialogList> dialogs;
    Descriptor descriptor;
    int songCount;
    int currentSong;
    bool stopped;
};
