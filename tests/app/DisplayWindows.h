#pragma once
// Real windows standing in for the main window and its display controls: a top-level parent and
// children whose window classes carry the display controls' names, keeping their texts as any
// window does. The parent hands WMU_SONG_END notices to an Application, as the main window does.

#include <windows.h>

#include <string>
#include <vector>

class Application;

class DisplayWindows {
public:
    // Hidden unless `visible`: only a shown window collects an update region.
    explicit DisplayWindows(const std::vector<const char *> &controls, bool visible = false);
    ~DisplayWindows();
    DisplayWindows(const DisplayWindows &) = delete;
    DisplayWindows &operator=(const DisplayWindows &) = delete;

    // The text of the child of that class, or "<none>" when there is no such child.
    std::string Text(const char *control) const;
    HWND Child(const char *control) const;
    // Dispatches every waiting message of this thread.
    static void Pump();

    HWND parent;
    Application *application; // receives the song-end notices
};
