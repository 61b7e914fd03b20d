#include "scrollers/LeftwardMotion.h"

void LeftwardMotion::Advance() {
  if (IsPast()) {
    Rewind();
    return;
  }
  current.left -= step;
}

bool LeftwardMotion::AtOrigin() const { return current.left <= 0; }

bool LeftwardMotion::IsPast() const { return int64_t{current.left} + textWidth < view.left; }

void LeftwardMotion::Rewind() {
  current = view;
  if (Moves()) current.left = view.right;
}
