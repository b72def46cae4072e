#pragma once
// Access to the advert-log subsystem's records (breaks/SplitRecord.h).
#include "breaks/SplitRecord.h"

#include <cstdint>

namespace Breaks {

// The record of a split; nullptr for any split but 1.
ZEL_Common::SplitRecord* Split(int16_t split);

} // namespace Breaks
