// Stand-in section loaders until each control kind brings its own. Whoever adds the real
// definition of a loader (in the file named beside it in window/SkinWindow.h) deletes the matching
// definition from this file; when none is left, delete the file.
#include "window/SkinWindow.h"

// Button
void SkinWindow::LoadButtons() {}

// TextField
void SkinWindow::LoadTextFields() {}

// HScroller
void SkinWindow::LoadHScrollers() {}

// VScroller
void SkinWindow::LoadVScrollers() {}

// Label
void SkinWindow::LoadLabels() {}
