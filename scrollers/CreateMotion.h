#pragma once

#include <memory>

#include "scrollers/ScrollMotion.h"

// An upward motion when vertical is set, else a leftward one; empty when memory runs out.
std::unique_ptr<ScrollMotion> CreateMotion(bool vertical);
