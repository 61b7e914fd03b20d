#include "scrollers/ScrollMode.h"

#include "descriptor/EntryText.h"

ScrollMode ScrollModeFromName(const char *name) {
  if (SameTextNoCase(name, "stay")) return ScrollModeStay;
  if (SameTextNoCase(name, "show")) return ScrollModeShow;
  return ScrollModeScroll;
}
