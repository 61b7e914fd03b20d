#include <windows.h>

#include "app/Application.h"

// The command line and the show flag are ignored: a musicdisk is configured only by its files.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int result;
    {
        Application application;
        result = application.Run(instance);
    }
    return result;
}
