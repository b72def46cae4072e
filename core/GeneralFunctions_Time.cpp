#include "core/GeneralFunctions.h"

#include "platform/Clock.h"
#include "platform/VB.h"

#include <cmath>
#include <limits>
#include <optional>

namespace GeneralFunctions {
namespace {

constexpr double kDay = 86400.0;

// The two halves of a number of seconds: whole days and whole hundredths below a day.
struct SplitSeconds {
    int64_t days = 0;
    double remainder = 0.0;
};

std::optional<SplitSeconds> Split(float seconds) {
    if (!std::isfinite(seconds)) return std::nullopt;
    std::optional<int32_t> whole = VB::CLng(std::floor(seconds));
    std::optional<int32_t> hundredths = VB::CLng(static_cast<double>(seconds) * 100.0);
    if (!whole || !hundredths) return std::nullopt;
    return SplitSeconds{*whole / 86400, static_cast<double>(*hundredths % 8640000) / 100.0};
}

// Brings Seconds into 0 <= Seconds < 86400, moving whole days into Day.
std::optional<TimeStamp> Normalised(int64_t day, double seconds) {
    double days = std::floor(seconds / kDay);
    day += static_cast<int64_t>(days);
    float s = static_cast<float>(seconds - days * kDay);
    while (s < 0.f)
        s += static_cast<float>(kDay), --day;
    while (s >= static_cast<float>(kDay))
        s -= static_cast<float>(kDay), ++day;
    if (day < std::numeric_limits<int32_t>::min() || day > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return TimeStamp{static_cast<int32_t>(day), s};
}

TimeStamp Moved(float seconds, TimeStamp stamp, int sign, int* errorNumber) {
    std::optional<SplitSeconds> split = Split(seconds);
    std::optional<TimeStamp> moved;
    if (split && std::isfinite(stamp.Seconds))
        moved = Normalised(static_cast<int64_t>(stamp.Day) + sign * split->days,
                           static_cast<double>(stamp.Seconds) + sign * split->remainder);
    if (!moved) {
        if (errorNumber) *errorNumber = VB::errOverflow;
        return stamp;
    }
    if (errorNumber) *errorNumber = 0;
    return *moved;
}

std::string Field(double value, bool hashes) {
    std::string text = VB::FormatNumber(value, hashes ? "##" : "00");
    return text.size() < 2 ? VB::Space(2 - static_cast<int>(text.size())) + text : text;
}

bool Blank(const std::string& text) {
    return VB::Trim(text).empty();
}

} // namespace

bool TimeStampEqual(const TimeStamp& a, const TimeStamp& b) {
    return a.Day == b.Day && a.Seconds == b.Seconds;
}

bool TimeStampLater(const TimeStamp& a, const TimeStamp& b) {
    if (a.Day != b.Day) return a.Day > b.Day;
    return a.Seconds > b.Seconds;
}

TimeStamp TimeStampFromDate(double dateValue) {
    double day = std::floor(dateValue);
    double seconds = std::round((dateValue - day) * kDay);
    return Normalised(static_cast<int64_t>(day), seconds).value_or(TimeStamp{});
}

TimeStamp TimeStampNow(bool toHourStart) {
    // Date and time from one reading, so a call at midnight cannot mix two days.
    Platform::Clock::Moment now = Platform::Clock::Now();
    double seconds = now.seconds;
    if (toHourStart) seconds = std::floor(seconds / 3600.0) * 3600.0;
    return TimeStamp{now.day, static_cast<float>(seconds)};
}

TimeStamp TimeStampSubtract(float seconds, TimeStamp stamp, int* errorNumber) {
    return Moved(seconds, stamp, -1, errorNumber);
}

TimeStamp TimeStampAdd(float seconds, TimeStamp stamp, int* errorNumber) {
    return Moved(seconds, stamp, 1, errorNumber);
}

double SecondsSinceTimeStamp(const TimeStamp& stamp) {
    TimeStamp now = TimeStampNow(false);
    return (static_cast<double>(now.Day) - stamp.Day) * kDay +
           (static_cast<double>(now.Seconds) - stamp.Seconds);
}

double SecondsUntilTimeStamp(const TimeStamp& stamp) {
    return -SecondsSinceTimeStamp(stamp);
}

std::string FormatDuration(double seconds, int32_t style) {
    int32_t h = style / 100, t = style / 10 % 10, u = style % 10;
    std::string hours = "--", minutes = "--", secs = "--", hundredths = "--";
    if (seconds >= 0 && seconds <= kDay) {
        if (u >= 2 && t == 0) seconds = VB::RoundHalfEven(seconds);
        if (u >= 2 && t == 2) seconds = std::ceil(seconds);
        // All fields from the same whole hundredths, so 59.996 reads 01:00.00, not 00:59.00.
        double total = VB::RoundHalfEven(seconds * 100.0);
        double cs = std::fmod(total, 100.0);
        double whole = u >= 2 ? std::floor(seconds) : (total - cs) / 100.0;
        double shown = u >= 2 ? seconds : total / 100.0;
        double hr = std::floor(whole / 3600.0);
        double mn = std::fmod(std::floor(whole / 60.0), 60.0);
        double sc = std::fmod(whole, 60.0);
        if (style == 100) {
            hours = minutes = secs = hundredths = "  ";
        } else {
            bool small = h >= 1;
            hours = Field(hr, small);
            minutes = Field(mn, small && shown < 3600);
            secs = Field(sc, small && shown < 60);
            hundredths = Field(cs, small && shown < 1);
        }
    }
    std::string text;
    if ((u == 1 || u == 2 || u == 4) && (style < 200 || !Blank(hours))) text += hours + ":";
    text += minutes;
    if (u != 4 && (style < 200 || !Blank(secs))) text += ":" + secs;
    if (u < 2) text += "." + hundredths;
    return text;
}

double ParseDuration(const std::string& text, int32_t style) {
    std::string t = VB::Trim(text);
    auto at = [&t](int position) { return VB::Val(VB::Mid(t, position, 2)); };
    switch (style % 10) {
    case 0:
        return at(1) * 60 + at(4) + at(7) / 100;
    case 1:
        return at(1) * 3600 + at(4) * 60 + at(7) + at(10) / 100;
    case 2:
        return at(1) * 3600 + at(4) * 60 + at(7);
    case 3:
        return at(1) * 60 + at(4);
    case 4:
        return at(1) * 3600 + at(4) * 60;
    default:
        return 0;
    }
}

std::string GetMonthName(int16_t month) {
    return VB::MonthName(month);
}

} // namespace GeneralFunctions
