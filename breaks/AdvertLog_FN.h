#pragma once
// Fixed-column advert log lines: reading every field of a full or short line, and building
// new lines. Text is 8-bit; columns count bytes from 1.
#include <cstdint>
#include <string>

namespace AdvertLog_FN {

// The full-form text of a short-form line (its 6th character is "|"); others unchanged.
std::string NormaliseLogLine(const std::string& Line);
bool IsShortLogLine(const std::string& Line);

float GetLineTime(const std::string& Line);            // seconds after midnight; -1 for ""
std::string GetLineChainCode(const std::string& Line); // trimmed, upper-cased
int32_t GetLineCartNumber(const std::string& Line);    // 0 for "" or a blank column
std::string GetLineTitle(const std::string& Line);     // 30 columns, not trimmed
std::string GetLineReference(const std::string& Line); // column 60 to the end

// A new line. A Length below 0 takes the cart's segue point from the cart store.
std::string BuildLogLine(float Time, const std::string& ChainCode, int32_t CartNumber,
                         const std::string& Title, const std::string& Reference, float Length,
                         bool ShortForm);

} // namespace AdvertLog_FN
