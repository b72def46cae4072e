#pragma once
// Access to the advert-log subsystem's records (breaks/SplitRecord.h) and its file numbers.
#include "breaks/SplitRecord.h"

#include <cstdint>

namespace Breaks {

// The record of a split; nullptr for any split but 1.
ZEL_Common::SplitRecord* Split(int16_t split);

// The lowest file number not in use, 0 when none is free.
int16_t FreeFile();
LogFile* File(int16_t fileNumber); // nullptr for a number out of range

} // namespace Breaks
