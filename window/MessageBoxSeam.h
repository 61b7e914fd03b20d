#pragma once

#include <windows.h>

// Every message box of the skin screen goes through here, so tests can replace the modal box
// with a recorder ("Could not load the file: %s", "SetWindowPos Failed", "TrackMouseEvent Failed").
using MessageBoxFunction = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Shows a box with the current function (MessageBoxA unless a test replaced it).
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Installs another function and returns the previous one; null restores MessageBoxA.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);
