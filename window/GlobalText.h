#pragma once

#include <windows.h>

// Owner of one fixed global memory text block (GlobalAlloc GMEM_FIXED, freed with GlobalFree).
// Move-only; empty when it holds nothing.
class GlobalText {
public:
    GlobalText();
    explicit GlobalText(char* adopted);
    GlobalText(GlobalText&& other) noexcept;
    GlobalText& operator=(GlobalText&& other) noexcept;
    GlobalText(const GlobalText&) = delete;
    GlobalText& operator=(const GlobalText&) = delete;
    ~GlobalText();

    // A zero-filled block of size bytes; empty when the allocation fails.
    static GlobalText Allocate(size_t size);
    // A copy of text (length + 1 bytes); empty for null text or a failed allocation.
    static GlobalText Copy(const char* text);

    char* Get() const { return text; }
    explicit operator bool() const { return text != nullptr; }
    // Gives up ownership; the caller frees the block with GlobalFree.
    char* Release();
    void Reset();

private:
    char* text;
};
