#pragma once

#include "scrollers/ScrollMotion.h"

// Moves the text's left edge: it enters at the right of the view and moves left.
class LeftwardMotion : public ScrollMotion {
 public:
  ~LeftwardMotion() override = default;
  void Advance() override;
  bool AtOrigin() const override;
  bool IsPast() const override;
  void Rewind() override;
};
