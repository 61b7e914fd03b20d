#pragma once

#include "scrollers/ScrollMotion.h"

// Moves the text's top edge: it enters at the bottom of the view and rises.
class UpwardMotion : public ScrollMotion {
 public:
  ~UpwardMotion() override = default;
  void Advance() override;
  bool AtOrigin() const override;
  bool IsPast() const override;
  void Rewind() override;
};
