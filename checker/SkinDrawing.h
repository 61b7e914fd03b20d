#pragma once

#include <windows.h>

#include <string>

class SkinProbe;

// A picture of a skin for its maker, drawn from the skin as the player loaded it (SkinProbe):
// the window as the player shows it, its cut-away parts chequered grey; over it each control's
// place in its kind's colour, a solid outline where the player shows it and a dotted one where its
// piece of picture is cut from (every control but a button stands 6 pixels right of that), and
// its name; in red, where controls overlap and the parts of controls outside the window. A margin
// around the window shows controls that reach beyond it.
// Written as a 24-bit BMP file to `path`; false when it cannot be written. `origin` is where the
// window's top-left corner lies in the picture.
bool DrawSkin(const SkinProbe& probe, const std::wstring& path, POINT* origin);
