#pragma once
// The classic BASIC conversions and text functions the program relies on: banker's rounding,
// Int/Fix, Val, Format with the few patterns in use, byte-counted strings and English dates.
// Conversions that can overflow report it instead of wrapping.
#include <cstdint>
#include <optional>
#include <string>

namespace VB {

// Run-time error number of a numeric overflow.
constexpr int errOverflow = 6;

// Rounds to the nearest whole number, halves to the even neighbour (CInt/CLng rounding).
double RoundHalfEven(double value);
// CInt / CLng: the rounded value, or nothing when it does not fit (or is not a number).
std::optional<int16_t> CInt(double value);
std::optional<int32_t> CLng(double value);
// Int: the largest whole number not above value. Fix: value truncated towards zero.
double Int(double value);
double Fix(double value);

// The number at the start of text: blanks, tabs and line feeds are skipped anywhere, "&H" and
// "&O" read hex and octal, conversion stops at the first character that is not part of a
// number; no digits give 0.
double Val(const std::string& text);

// Format of a number with a digit pattern: "0" a digit always shown, "#" a digit shown only
// when significant, one optional "."; rounds halves away from zero, like Format.
std::string FormatNumber(double value, const std::string& pattern);
// Format of a date value (day serial + fraction) with the date letters d dd ddd dddd ddddd
// m mm mmm mmmm yy yyyy h hh n nn s ss ("m" after "h" means minutes); other characters are
// copied. Names are English and the short date is "dd/mm/yyyy".
std::string FormatDate(double dateValue, const std::string& pattern);
// The fixed short date of a day serial: "dd/mm/yyyy".
std::string ShortDate(int32_t day);

// Day serial of a calendar date; months and days outside their range roll over as in
// DateSerial (month 13 is January of the next year, day 0 the last day of the month before).
int32_t DateSerial(int year, int month, int day);
// Fraction of a day of a time of day; values outside their range roll over.
double TimeSerial(int hours, int minutes, int seconds);
// Day of the week, 1..7, counting firstDayOfWeek (1 Sunday .. 7 Saturday) as 1.
int Weekday(int32_t day, int firstDayOfWeek = 1);
constexpr int vbSunday = 1;
constexpr int vbMonday = 2;
// English names; 1..7 from Sunday, 1..12 from January; "" outside the range.
std::string WeekdayName(int weekday, bool abbreviate = false);
std::string MonthName(int month, bool abbreviate = false);

// Byte-counted strings; positions are 1-based and out-of-range requests give what exists.
std::string Space(int count);
std::string String(int count, char c);
std::string Left(const std::string& text, int count);
std::string Right(const std::string& text, int count);
std::string Mid(const std::string& text, int start, int count = -1);
// Assignment to a fixed-length string: blank-padded or cut to exactly length bytes.
std::string FixedLength(const std::string& text, int length);
// Position of what in text from start (1-based), 0 when absent; textCompare ignores case.
int InStr(int start, const std::string& text, const std::string& what, bool textCompare = false);

// Case of 8-bit Windows-1252 text (accented letters included).
std::string UCase(const std::string& text);
std::string LCase(const std::string& text);
// Blanks only, as Trim does (tabs stay).
std::string Trim(const std::string& text);
std::string LTrim(const std::string& text);
std::string RTrim(const std::string& text);

// Upper-case hexadecimal of a Long; negative values in two's complement (8 digits).
std::string Hex(int32_t value);

} // namespace VB
