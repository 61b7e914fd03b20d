#include "scrollers/ScrollMode.h"

#include "descriptor/EntryText.h"

const ScrollModeName scrollModeNames[3] = {
    {"scroll", ScrollModeScroll}, {"stay", ScrollModeStay}, {"show", ScrollModeShow}};

ScrollMode ScrollModeFromName(const char *name) {
  for (const ScrollModeName &known : scrollModeNames)
    if (SameTextNoCase(name, known.name)) return known.mode;
  return ScrollModeScroll;
}

bool IsScrollModeName(const char *name) {
  for (const ScrollModeName &known : scrollModeNames)
    if (SameTextNoCase(name, known.name)) return true;
  return false;
}
