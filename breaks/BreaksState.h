#pragma once
// Module state of the advert-log subsystem: the split's record, its open files and the links
// the split reaches others through.
#include "breaks/CartTiming.h"
#include "breaks/LogFile.h"
#include "breaks/SplitRecordStandIn.h"

#include <array>
#include <cstdint>
#include <functional>

namespace Breaks {

constexpr int16_t kMaxFileNumber = 255;

struct BreaksState {
    SplitRecord split; // split 1, the only one
    bool BreakRunning = false;
    bool LogCopyInProgress = false;
    BreakCarts::CartReader cartReader;
    // The split window's new-log check (fetches the source copy); set by the split engine.
    std::function<bool(bool SkipReCue)> checkForNewLogFile;
    std::array<LogFile, kMaxFileNumber + 1> files; // by file number; 0 unused
};

BreaksState& State();

// The record of a split; nullptr for any split but 1.
SplitRecord* Split(int16_t split);

// The lowest file number not in use, 0 when none is free.
int16_t FreeFile();
LogFile* File(int16_t fileNumber); // nullptr for a number out of range

} // namespace Breaks
