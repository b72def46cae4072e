#pragma once
// Small text, number, date and file helpers the advert-log code leans on. Kept in one place so
// they can give way to the shared core helpers.
#include <cstdint>
#include <functional>
#include <string>

namespace LogSupport {

// Leading-number conversion: blanks skipped, stops at the first character that is not part
// of a number, no digits give 0. Accepts a sign, a decimal point, an exponent and &H / &O.
double Val(const std::string& text);
// Round half to even (the classic CLng / CInt rounding).
double RoundHalfEven(double value);

std::string Mid(const std::string& text, int start, int length = -1); // 1-based, safe
std::string Trim(const std::string& text);                            // blanks only
std::string UCase(const std::string& text);                           // 8-bit letters
std::string PadRight(const std::string& text, int width, char pad = ' ');
std::string PadLeft(const std::string& text, int width, char pad = ' ');
// "hh:mm:ss" of a time of day in seconds, whole seconds cut off (no rounding).
std::string FormatHMS(double seconds);
// Shortest decimal text of a Single ("36000", "12.5").
std::string SingleText(float value);

// A day serial formatted with date letters (d dd ddd dddd m mm mmm mmmm y yy yyyy w ww q
// and "ddddd" for the short date); English names, Sunday first.
std::string FormatDate(int32_t day, const std::string& pattern);
std::string ShortDate(int32_t day); // dd/mm/yyyy

// File length in bytes, -1 when missing or unreadable (case-insensitive name fallback).
double SafeFileLen(const std::string& path);
// Appends a CR LF line, with the short date and time in front when withTime; errors ignored.
void AppendTimedLine(const std::string& fileName, bool withTime, const std::string& text);
// Trace line, written only while tracing is on (DebugMode not 0).
void WriteDebugLine(const std::string& text);
void SetTraceSink(std::function<void(const std::string&)> sink);

// A moment: day serial (0 = none) and seconds after midnight.
struct TimeStamp {
    int32_t Day = 0;
    float Seconds = 0.0f;
};
// The local modification time of a file; false when it cannot be read (error in errorNumber).
bool FileModifiedStamp(const std::string& path, TimeStamp& stamp, int& errorNumber);

// Settings the split reads that the main settings records do not hold yet.
struct SplitSettingsView {
    int32_t DebugMode = 0;
    int16_t AdvertVolume = 100;
};
SplitSettingsView& Settings();

} // namespace LogSupport
