#pragma once

// How a vertical scroller moves its text.
enum ScrollMode : int {
  ScrollModeScroll = 0,  // passes through again and again
  ScrollModeStay = 1,    // comes in once and stops at the origin
  ScrollModeShow = 2,    // stands still
};

// "scroll", "stay" or "show" in any case; anything else (or null) gives ScrollModeScroll.
ScrollMode ScrollModeFromName(const char *name);
