// Stand-in section loaders until each control kind brings its own. Whoever adds the real
// definition of a loader (in the file named beside it in window/SkinWindow.h) deletes the matching
// definition from this file; when none is left, delete the file.
#include "window/SkinWindow.h"

