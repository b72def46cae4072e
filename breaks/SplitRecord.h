#pragma once
// The split's record: its log settings (filled by the main settings loader) followed by the
// split window's run-time state of the open log and the cued break.
#include "breaks/BreakRecord.h"
#include "breaks/CartTiming.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ZEL_Common {

// The settings fields come first, filled by the main settings loader.
struct SplitRecord : MainSettings::SplitSettings {
    // Run-time state.
    std::string WorkingLogPath;
    int32_t WorkingLogDate = 0; // the day WorkingLogPath is the log of, 0 = none
    int16_t LogFileNumber = 0;  // 0 = no log open
    int32_t LoadedLogDate = 0;
    int32_t CuedBreakPos = 0;
    int32_t CuedBreakDate = 0;
    float CuedBreakTime = -1;
    GeneralFunctions::TimeStamp LogFileStamp; // the working log's stamp when opened (Day 0 = none)
};

using MainSettings::kSplitCount;

} // namespace ZEL_Common

namespace Breaks {

// What the record of one day's breaks done holds: their times (whole seconds), and the times
// of each list of adverts.
struct DoneDay {
    std::set<int32_t> times;
    std::map<std::vector<std::pair<int32_t, std::string>>, std::set<int32_t>> adverts;
};

struct BreaksState {
    // Split n lives in entry n - 1.
    std::array<ZEL_Common::SplitRecord, ZEL_Common::kSplitCount> SplitRecord;
    ::AdBreak AdBreak;              // split 1's cued break
    bool BreakRunning = false;      // split 1: a break is playing
    bool LogCopyInProgress = false; // split 1: the working log is being rewritten
    // Play length and segue point of a cart; the cart store unless a reader is installed.
    BreakCarts::CartReader cartReader;
    // The split window's new-log check (fetches the source copy); set by the split engine.
    std::function<bool(bool SkipReCue)> checkForNewLogFile;
    // The records of breaks done read so far, by file.
    std::map<std::string, DoneDay> doneBreaks;
};

// The records of the current program context.
BreaksState& State();

} // namespace Breaks
