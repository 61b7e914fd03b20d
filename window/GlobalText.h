#pragma once

#include <windows.h>

#include <cstddef>

#include "window/Owner.h"

struct GlobalTextKind : Uncounted {
    using Held = char*;
    static void Free(char* text) { GlobalFree(text); }
};

// Owner of one fixed global memory text block (GlobalAlloc GMEM_FIXED, freed with GlobalFree);
// empty when it holds nothing.
class GlobalText : public Owner<GlobalTextKind> {
public:
    using Owner::Owner;

    // A zero-filled block of size bytes; empty when the allocation fails.
    static GlobalText Allocate(size_t size);
    // A copy of text (length + 1 bytes); empty for null text or a failed allocation.
    static GlobalText Copy(const char* text);
};
