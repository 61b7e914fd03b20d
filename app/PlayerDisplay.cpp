#include "app/PlayerDisplay.h"

namespace {

// "%02d:%02d" of the largest unsigned second count is 8 + 1 + 2 characters, and "%02d" of the
// most negative int 11: both fit with their terminator.
const int kTextSize = 12;

// "mm:ss", minutes uncapped.
struct TimeText {
    explicit TimeText(DWORD seconds)
    {
        wsprintfA(text, "%02d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    }
    char text[kTextSize];
};

} // namespace

PlayerDisplay::PlayerDisplay()
    : totalTimeText(nullptr), elapsedTimeText(nullptr), songNumberText(nullptr), scroller(nullptr)
{
}

PlayerDisplay::~PlayerDisplay() {}

void PlayerDisplay::Attach(HWND mainWindow)
{
    totalTimeText = FindWindowExA(mainWindow, nullptr, "TEXT_TOTALTIME", nullptr);
    elapsedTimeText = FindWindowExA(mainWindow, nullptr, "TEXT_ACTTIME", nullptr);
    songNumberText = FindWindowExA(mainWindow, nullptr, "TEXT_SONGNUM", nullptr);
    scroller = FindWindowExA(mainWindow, nullptr, "TEXT_SCROLLER", nullptr);
}

void PlayerDisplay::SetTimeText(HWND control, DWORD seconds)
{
    if (!control)
        return;
    SetWindowTextA(control, TimeText(seconds).text);
}

void PlayerDisplay::SetTotalTime(DWORD seconds)
{
    SetTimeText(totalTimeText, seconds);
}

void PlayerDisplay::SetElapsedTime(DWORD seconds)
{
    if (!elapsedTimeText)
        return;
    // The clock ticks four times a second but the text changes once: an unchanged text is left
    // standing, since each redraw repaints the whole skin and every control on it.
    char shown[kTextSize] = {};
    GetWindowTextA(elapsedTimeText, shown, kTextSize);
    if (lstrcmpA(shown, TimeText(seconds).text) == 0)
        return;
    SetTimeText(elapsedTimeText, seconds);
    // The skin under the field is repainted before the new digits are drawn over it.
    InvalidateRect(GetParent(elapsedTimeText), nullptr, TRUE);
    InvalidateRect(elapsedTimeText, nullptr, FALSE);
}

void PlayerDisplay::SetSongNumber(int number)
{
    if (!songNumberText)
        return;
    char text[kTextSize];
    wsprintfA(text, "%02d", number);
    SetWindowTextA(songNumberText, text);
}

void PlayerDisplay::SetScrollerText(const char *text)
{
    if (scroller)
        SendMessageA(scroller, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}
