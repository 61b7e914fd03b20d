#include "scrollers/ScrollMotion.h"

void ScrollMotion::Setup(const ScrollRect &newView, int32_t newTextWidth, int32_t newTextHeight, int32_t newStep,
                         ScrollMode newMode) {
  started = 0;
  view = newView;
  textWidth = newTextWidth;
  textHeight = newTextHeight;
  step = newStep;
  mode = newMode;
  Rewind();
}

bool ScrollMotion::Start() {
  started = Moves() ? 1 : 0;
  return started != 0;
}

void ScrollMotion::Tick() {
  if (mode == ScrollModeScroll || (mode == ScrollModeStay && started)) Advance();
}

bool ScrollMotion::IsAtRest() const { return started && mode == ScrollModeStay && AtOrigin(); }
