#pragma once

#include <windows.h>

// Writes the song number, the total and elapsed times and the song's description into the main
// window's display controls. Each handle is null when the skin has no such control; the controls
// belong to the main window, this object only uses them.
class PlayerDisplay {
public:
    PlayerDisplay();
    virtual ~PlayerDisplay();

    // Finds TEXT_TOTALTIME, TEXT_ACTTIME, TEXT_SONGNUM and TEXT_SCROLLER among the main window's
    // children by window class name.
    void Attach(HWND mainWindow);
    // Times show as "mm:ss"; minutes are not capped (6000 seconds show as 100:00).
    void SetTotalTime(DWORD seconds);
    // Also has the field redrawn over a freshly painted background, when its text changes.
    void SetElapsedTime(DWORD seconds);
    void SetSongNumber(int number);
    // The scroller restarts with the new text.
    void SetScrollerText(const char *text);

    HWND totalTimeText;
    HWND elapsedTimeText;
    HWND songNumberText;
    HWND scroller;

private:
    static void SetTimeText(HWND control, DWORD seconds);
};
