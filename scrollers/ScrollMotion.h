#pragma once

#include <cstdint>

#include "scrollers/ScrollMode.h"
#include "scrollers/ScrollRect.h"

// Where a block of text stands inside a view, and how one tick moves it. Window-free.
class ScrollMotion {
 public:
  virtual ~ScrollMotion() = default;
  virtual void Advance() = 0;
  virtual bool AtOrigin() const = 0;
  virtual bool IsPast() const = 0;
  virtual void Rewind() = 0;

  void Setup(const ScrollRect &view, int32_t textWidth, int32_t textHeight, int32_t step, ScrollMode mode);
  ScrollRect CurrentRect() const { return current; }
  // True for the modes that move; the caller runs its timer only then.
  bool Start();
  void Tick();
  // True once a started "stay" motion has reached its origin; the caller stops its timer.
  bool IsAtRest() const;

 protected:
  ScrollRect view;
  ScrollRect current;
  int32_t textWidth = 0;
  int32_t textHeight = 0;
  int32_t step = 0;
  ScrollMode mode = ScrollModeScroll;
  uint8_t started = 0;

  bool Moves() const { return mode == ScrollModeScroll || mode == ScrollModeStay; }
};
