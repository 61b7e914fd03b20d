#include "app/Application.h"

#include "app/SplashWindow.h"
#include "window/MessageBoxSeam.h"

Application::Application() : songCount(0), currentSong(0), stopped(true) {}

Application::~Application()
{
    dialogs.reset();
}

void Application::LoadDescriptor()
{
    descriptor.Load("music\\config.dat");
    songCount = descriptor.SongCount();
    currentSong = 0;
}

HWND Application::CreateMainWindow(HINSTANCE instance)
{
    HICON smallIcon = LoadIconA(instance, MAKEINTRESOURCEA(101));
    HICON bigIcon = LoadIconA(instance, MAKEINTRESOURCEA(101));
    HWND window = mainWindow.CreateFromSkin("Musicdisk", CW_USEDEFAULT, CW_USEDEFAULT, instance,
                                            "gui\\skin.ini");
    mainWindow.draggable = true;
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    return window;
}

int Application::Run(HINSTANCE instance)
{
    HWND window = CreateMainWindow(instance);
    // Without a main window nothing could ever end the message loop: say so and end at once.
    if (!window) {
        ShowMessageBox(nullptr, "Could not create the main window", "Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    mainWindow.controller = this;
    display.Attach(window);
    songCount = 0;
    currentSong = 0;
    LoadDescriptor();
    // Start-up goes on without a sound device: songs then fail to load and the display stays idle.
    player.Init(this, window);
    PlaySplashMusic();
    ShowSplash(instance, descriptor.SplashTime());
    CreateDialogs(instance);
    InvalidateRgn(window, nullptr, TRUE);
    UpdateWindow(window);
    ShowWindow(window, SW_SHOWNORMAL);
    stopped = false;
    Next();
    int result = mainWindow.Run();
    DestroySplash();
    return result;
}

// A name of zero or one character means no splash music.
void Application::PlaySplashMusic()
{
    const char *file = descriptor.SplashMusicFile();
    if (file && lstrlenA(file) > 1)
        player.Play(file);
}

void Application::Play()
{
    if (stopped) {
        stopped = false;
        Next();
        return;
    }
    player.Resume();
    RefreshElapsed();
}

void Application::Pause()
{
    if (!stopped)
        player.Pause();
}

// The channel is paused, not freed: Play searches from song 1 again.
void Application::Stop()
{
    currentSong = 0;
    stopped = true;
    player.Pause();
    ResetDisplay();
}

void Application::Seek(int seconds)
{
    if (stopped)
        return;
    player.Seek(seconds);
    RefreshElapsed();
}

void Application::Next()
{
    if (stopped)
        return;
    Step(+1);
    if (dialogs)
        dialogs->UpdateSongTexts(currentSong);
}

// The info dialogs keep the long descriptions of the song before: only Next refreshes them.
void Application::Previous()
{
    if (!stopped)
        Step(-1);
}

void Application::OnSongEnd()
{
    Next();
}

void Application::OnSongEndNotice(DWORD channel)
{
    if (channel != 0 && channel == player.channel)
        OnSongEnd();
}

void Application::RefreshElapsed()
{
    display.SetElapsedTime(currentSong != 0 ? player.ElapsedSeconds() : 0);
}

void Application::OpenInfoDialog(const char *name)
{
    if (dialogs)
        dialogs->OpenByName(name);
}

void Application::CreateDialogs(HINSTANCE instance)
{
    dialogs = std::make_unique<InfoDialogList>();
    dialogs->Build(instance, mainWindow.hwnd, &descriptor);
}

int Application::AdvanceIndex(int direction)
{
    currentSong += direction;
    if (currentSong > songCount)
        currentSong = 1;
    if (currentSong < 1)
        currentSong = songCount;
    return currentSong;
}

// Every song is tried at most once, and the song current when the search began is not tried again;
// when nothing starts, whatever was playing plays on under the idle display.
void Application::Step(int direction)
{
    int start = currentSong;
    AdvanceIndex(direction);
    if (songCount > 0 && currentSong != start) {
        for (int tried = 1;; ++tried) {
            if (player.Play(descriptor.SongFile(currentSong))) {
                ShowSongInfo();
                return;
            }
            AdvanceIndex(direction);
            if (currentSong == start || tried >= songCount)
                break;
        }
    }
    ResetDisplay();
}

void Application::ShowSongInfo()
{
    const char *text = descriptor.SongDescription(currentSong);
    display.SetTotalTime(static_cast<DWORD>(player.LengthSeconds()));
    display.SetSongNumber(currentSong);
    InvalidateRgn(mainWindow.hwnd, nullptr, TRUE);
    UpdateWindow(mainWindow.hwnd);
    display.SetScrollerText(text);
}

void Application::ResetDisplay()
{
    currentSong = 0;
    display.SetTotalTime(0);
    display.SetSongNumber(0);
    InvalidateRgn(mainWindow.hwnd, nullptr, TRUE);
    UpdateWindow(mainWindow.hwnd);
    display.SetScrollerText("");
}
