#include "app/Application.h"

Application::Application() : songCount(0), currentSong(0), stopped(true) {}

Application::~Application() {}

void Application::LoadDescriptor()
{
    descriptor.Load("music\\config.dat");
    songCount = descriptor.SongCount();
    currentSong = 0;
}

int Application::Run(HINSTANCE instance)
{
    (void)instance;
    songCount = 0;
    currentSong = 0;
    LoadDescriptor();

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
