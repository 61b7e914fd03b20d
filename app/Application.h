#pragma once

#include <windows.h>

#include "descriptor/Descriptor.h"

// The one object that lives for the whole run: it owns the main window, the playback engine, the
// display controls' handles, the descriptor and the info dialogs, and it is the player controller.
class Application {
public:
    Application();
    virtual ~Application();

    // Start-up, then the main message loop; returns the quit message's wParam.
    int Run(HINSTANCE instance);

    // Start-up steps.
    void LoadDescriptor();

    Descriptor descriptor;
    int songCount;
    int currentSong;
    bool stopped;
};
