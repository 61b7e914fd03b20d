#include "scrollers/ScrollMode.h"

#include <cctype>

namespace {

bool SameIgnoringCase(const char *a, const char *b) {
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  }
  return *a == *b;
}

}  // namespace

ScrollMode ScrollModeFromName(const char *name) {
  if (!name) return ScrollModeScroll;
  if (SameIgnoringCase(name, "scroll")) return ScrollModeScroll;
  if (SameIgnoringCase(name, "stay")) return ScrollModeStay;
  if (SameIgnoringCase(name, "show")) return ScrollModeShow;
  return ScrollModeScroll;
}
