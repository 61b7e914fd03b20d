#include "window/GdiCounts.h"

namespace {
// Everything runs on the GUI thread, so plain counters suffice.
long liveCounts[3];
}

void CountGdiObject(GdiKind kind, int delta)
{
    liveCounts[static_cast<int>(kind)] += delta;
}

long LiveGdiObjects(GdiKind kind)
{
    return liveCounts[static_cast<int>(kind)];
}
