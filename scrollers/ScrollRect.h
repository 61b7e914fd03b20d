#pragma once

#include <cstdint>

// A rectangle with the layout of the platform's RECT, kept window-free.
struct ScrollRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

inline bool operator==(const ScrollRect &a, const ScrollRect &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
