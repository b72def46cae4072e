#pragma once
// Dates typed by the user, as whole day numbers (day 0 = 30 December 1899). Accepted forms,
// blanks around parts ignored, letters in any case:
//   "8 December 2026", "08 Dec 2026", "December 8 2026", "8-Dec-2026" (month name or its
//   first three letters), "8/12/2026", "8-12-2026", "8.12.2026" (day first) and "2026-12-08"
//   (four-digit year first). Years of two digits are 1930..2029. The day must exist in its
//   month; years run from 100 to 9999.
#include <cstdint>
#include <optional>
#include <string>

namespace Browsing {

std::optional<int32_t> ParseDate(const std::string& text);
// "dd mmmm yyyy".
std::string FormatDayNumber(int32_t day);

} // namespace Browsing
