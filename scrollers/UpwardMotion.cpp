#include "scrollers/UpwardMotion.h"

void UpwardMotion::Advance() {
  if (IsPast()) {
    Rewind();
    return;
  }
  current.top -= step;
}

bool UpwardMotion::AtOrigin() const { return current.top <= 0; }

// 64-bit sum: a huge measured height must not overflow into "past".
bool UpwardMotion::IsPast() const { return int64_t{current.top} + textHeight < view.top; }

void UpwardMotion::Rewind() {
  current = view;
  if (Moves()) current.top = view.bottom;
}
