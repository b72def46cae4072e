#pragma once
// The split's day files for the scheduling side.
#include "core/GeneralFunctions.h"

#include <cstdint>
#include <string>

namespace ZEL_Specific {

// The reconciliation file of today (destination or source directory by setting).
std::string ReconcileFile(int16_t Split);
// Today's error file: the reconciliation file's directory and title with ".ERR".
std::string ErrorLogFile(int16_t Split);
// Appends one time-stamped line to today's error file (KeptLines: kept while the file refuses
// it).
void WriteErrorLog(int16_t Split, const std::string& Text);
// Appends the line of an item a player played to today's reconciliation file: the time it
// started, the split's chain code, the cart, the title, the seconds played (rounded half to
// even) and the reference. Kept like the error file's lines while the file refuses it.
void WriteReconcileEntry(int16_t Split, const GeneralFunctions::TimeStamp& PlayStarted,
                         int32_t CartNumber, const std::string& Title, float Length,
                         const std::string& Reference);

} // namespace ZEL_Specific
