#pragma once
// The split's day files for the scheduling side.
#include <cstdint>
#include <string>

namespace ZEL_Specific {

// The reconciliation file of today (destination or source directory by setting).
std::string ReconcileFile(int16_t Split);
// Today's error file: the reconciliation file's directory and title with ".ERR".
std::string ErrorLogFile(int16_t Split);
// Appends one time-stamped line to today's error file; failures lose the line silently.
void WriteErrorLog(int16_t Split, const std::string& Text);

} // namespace ZEL_Specific
