#include <windows.h>

#include "app/Application.h"
#include "window/ComApartment.h"

// The command line and the show flag are ignored: a musicdisk is configured only by its files.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Open for the whole run, so decoding the skins' pictures keeps its codecs loaded.
    ComApartment com;
    int result;
    {
        Application application;
        result = application.Run(instance);
    }
    return result;
}
