#pragma once

// How a vertical scroller moves its text.
enum ScrollMode : int {
  ScrollModeScroll = 0,  // passes through again and again
  ScrollModeStay = 1,    // comes in once and stops at the origin
  ScrollModeShow = 2,    // stands still
};

// The names a skin gives the modes (in any case): the only place they are written, so the disk
// checker knows every name the scroller knows.
struct ScrollModeName {
  const char *name;
  ScrollMode mode;
};
extern const ScrollModeName scrollModeNames[3];

// "scroll", "stay" or "show" in any case; anything else (or null) gives ScrollModeScroll.
ScrollMode ScrollModeFromName(const char *name);
// True when the name is one of the modes' names.
bool IsScrollModeName(const char *name);
