#pragma once

#include <windows.h>

#include "window/SkinImage.h"

// What a window and its controls show, composed the way the screen shows them: the window's own
// painting, then each control (its child windows, bottom to top) at its place, cut to its shape.
// Each paints into the picture itself (WM_PRINTCLIENT), so hidden windows, such as the disk
// checker's, are pictured as they would show. A 32-bit picture the size of the window's client
// area; empty when it cannot be made.
SkinImage PictureOfWindow(HWND window);
