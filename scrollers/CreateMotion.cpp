#include "scrollers/CreateMotion.h"

#include <new>

#include "scrollers/LeftwardMotion.h"
#include "scrollers/UpwardMotion.h"

std::unique_ptr<ScrollMotion> CreateMotion(bool vertical) {
  if (vertical) return std::unique_ptr<ScrollMotion>(new (std::nothrow) UpwardMotion());
  return std::unique_ptr<ScrollMotion>(new (std::nothrow) LeftwardMotion());
}
