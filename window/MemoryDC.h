#pragma once

#include <windows.h>

// Owner of a memory DC made by CreateCompatibleDC; dc is null when that failed.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (dc)
            DeleteDC(dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC dc;
};
