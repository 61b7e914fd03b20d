#pragma once

#include <windows.h>

// Live counts of the GDI objects our owners hold (bitmaps in SkinImage, fonts in SkinFont, regions
// made by RegionFromMask until a window takes them). Wine's GetGuiResources reports 0, so leak
// tests compare these counts before and after.
enum class GdiKind { Bitmap, Font, Region };

void CountGdiObject(GdiKind kind, int delta);
long LiveGdiObjects(GdiKind kind);

// What an owner (window/Owner.h) of one kind of GDI object frees and counts.
template <class Handle, GdiKind counted>
struct GdiObject {
    using Held = Handle;
    static void Free(Handle object) { DeleteObject(object); }
    static void Count(int delta) { CountGdiObject(counted, delta); }
};
