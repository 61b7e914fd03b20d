#pragma once

#include <windows.h>

// Optional observation and allocator for tests of RegionFromMask.
struct RegionBuild {
    HGLOBAL(WINAPI* grow)(HGLOBAL, SIZE_T, UINT) = GlobalReAlloc;
    int batches = 0;     // regions built with ExtCreateRegion
    int rectangles = 0;  // row runs found
    int capacity = 0;    // largest rectangle capacity of the buffer
    bool growthFailed = false;
};

// A region of every mask pixel that is not the key colour (per stored byte: key byte up to key
// byte + tolerance byte, top byte ignored). Null for a null mask or when GDI fails. When the
// rectangle buffer cannot grow, the region of what was gathered so far is returned.
HRGN RegionFromMask(HBITMAP mask, DWORD key, DWORD tolerance, RegionBuild* build = nullptr);

// Shapes the window by the mask's non-white pixels (key 0x00FFFFFF, tolerance 0). The window owns
// the region afterwards; false (window left rectangular) when there is no region to set.
bool ShapeWindowFromMask(HWND window, HBITMAP mask);
