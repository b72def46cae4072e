#pragma once
// Small helpers of the advert-log code that the shared helpers do not offer.
#include "core/GeneralFunctions.h"

#include <cstdint>
#include <string>

namespace LogSupport {

// Shortest decimal text of a Single in at most seven significant digits, without an exponent
// below 10^7 ("36000", "100000", "9.5", "9.50001").
std::string SingleText(float value);

// The local modification date-time of a file as a time stamp; false when it cannot be read
// (the run-time error number in errorNumber).
bool FileModifiedStamp(const std::string& path, GeneralFunctions::TimeStamp& stamp,
                       int& errorNumber);

} // namespace LogSupport
