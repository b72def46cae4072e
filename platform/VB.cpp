#include "platform/VB.h"

#include "platform/Clock.h"
#include "platform/NameCase.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace VB {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5) return whole + 1.0;
    if (fraction < 0.5) return whole;
    return std::fmod(whole, 2.0) == 0.0 ? whole : whole + 1.0;
}

namespace {

template <typename T> std::optional<T> Rounded(double value) {
    double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// "&H1F" / "&O17": the value read as Integer up to 4 (6 octal) digits, else as Long.
double RadixValue(const std::string& s, size_t pos, int radix) {
    uint64_t value = 0;
    int digits = 0;
    for (; pos < s.size() && DigitValue(s[pos]) < radix; ++pos, ++digits)
        value = (value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(DigitValue(s[pos]))) &
                0xFFFFFFFFull;
    int smallLimit = radix == 16 ? 4 : 6;
    if (digits <= smallLimit && value <= 0xFFFF)
        return static_cast<int16_t>(static_cast<uint16_t>(value));
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

} // namespace

std::optional<int16_t> CInt(double value) {
    return Rounded<int16_t>(value);
}

std::optional<int32_t> CLng(double value) {
    return Rounded<int32_t>(value);
}

double Int(double value) {
    return std::floor(value);
}

double Fix(double value) {
    return std::trunc(value);
}

double Val(const std::string& text) {
    std::string s;
    for (char c : text)
        if (!IsBlank(c)) s += c;
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') return RadixValue(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o') return RadixValue(s, 2, 8);
        return 0.0;
    }
    // The longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    std::string number;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, digits = true)
        number += s[i];
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, digits = true)
            number += s[i];
    }
    if (!digits) return 0.0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        bool expDigits = false;
        for (; j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]));
             ++j, expDigits = true)
            exponent += s[j];
        if (expDigits) number += exponent;
    }
    const char* begin = number.c_str();
    if (*begin == '+') ++begin;
    double value = 0.0;
    auto result = std::from_chars(begin, number.c_str() + number.size(), value);
    if (result.ec != std::errc()) return 0.0;
    return value;
}

std::string FormatNumber(double value, const std::string& pattern) {
    size_t first = pattern.find_first_of("0#.");
    size_t last = pattern.find_last_of("0#.");
    if (first == std::string::npos) return pattern;
    std::string prefix = pattern.substr(0, first);
    std::string suffix = pattern.substr(last + 1);
    std::string body = pattern.substr(first, last - first + 1);
    size_t point = body.find('.');
    std::string intPattern = body.substr(0, point);
    std::string fracPattern = point == std::string::npos ? "" : body.substr(point + 1);

    int minIntDigits = 0;
    for (char c : intPattern)
        if (c == '0') ++minIntDigits;
    int decimals = 0, minDecimals = 0;
    for (size_t k = 0; k < fracPattern.size(); ++k) {
        if (fracPattern[k] == '0' || fracPattern[k] == '#') ++decimals;
        if (fracPattern[k] == '0') minDecimals = decimals;
    }
    double scaled = std::round(std::fabs(value) * std::pow(10.0, decimals));
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", scaled);
    std::string digits = buffer;
    if (static_cast<int>(digits.size()) <= decimals)
        digits.insert(0, static_cast<size_t>(decimals + 1) - digits.size(), '0');
    std::string intDigits = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    std::string fracDigits = digits.substr(digits.size() - static_cast<size_t>(decimals));
    while (static_cast<int>(fracDigits.size()) > minDecimals && fracDigits.back() == '0')
        fracDigits.pop_back();
    if (intDigits == "0") intDigits.clear();
    if (static_cast<int>(intDigits.size()) < minIntDigits)
        intDigits.insert(0, static_cast<size_t>(minIntDigits) - intDigits.size(), '0');
    std::string out = intDigits;
    if (point != std::string::npos && (!fracDigits.empty() || decimals == 0)) out += ".";
    out += fracDigits;
    bool zero = scaled == 0.0;
    return prefix + (value < 0 && !zero ? "-" : "") + out + suffix;
}

namespace {

const std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};
const std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};

std::string TwoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

struct DateParts {
    int32_t day = 0;
    int year = 0, month = 0, dayOfMonth = 0;
    int hour = 0, minute = 0, second = 0;
};

DateParts PartsOf(double dateValue) {
    DateParts p;
    double whole = std::trunc(dateValue);
    double fraction = std::fabs(dateValue - whole);
    long long seconds = std::llround(fraction * 86400.0);
    p.day = static_cast<int32_t>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        p.day += dateValue < 0 ? -1 : 1;
    }
    Platform::Clock::DateOfSerial(p.day, p.year, p.month, p.dayOfMonth);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

// Next letter of the pattern after position i, skipping what is not a date letter.
char NextLetter(const std::string& pattern, size_t i) {
    for (; i < pattern.size(); ++i) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        if (std::string("dmyhnswq").find(c) != std::string::npos) return c;
    }
    return 0;
}

} // namespace

std::string ShortDate(int32_t day) {
    int y = 0, m = 0, d = 0;
    Platform::Clock::DateOfSerial(day, y, m, d);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", d, m, y);
    return buffer;
}

std::string FormatDate(double dateValue, const std::string& pattern) {
    DateParts p = PartsOf(dateValue);
    std::string out;
    bool afterHour = false;
    size_t i = 0;
    while (i < pattern.size()) {
        char c = pattern[i];
        char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '\\' && i + 1 < pattern.size()) {
            out += pattern[i + 1];
            i += 2;
            continue;
        }
        if (c == '"') {
            size_t close = pattern.find('"', i + 1);
            if (close == std::string::npos) close = pattern.size();
            out += pattern.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < pattern.size() &&
               std::tolower(static_cast<unsigned char>(pattern[i + run])) == lower)
            ++run;
        switch (lower) {
        case 'd':
            if (run == 1)
                out += std::to_string(p.dayOfMonth);
            else if (run == 2)
                out += TwoDigits(p.dayOfMonth);
            else if (run == 3)
                out += WeekdayName(Weekday(p.day), true);
            else if (run == 4)
                out += WeekdayName(Weekday(p.day));
            else if (run == 5)
                out += ShortDate(p.day);
            else
                out += std::to_string(p.dayOfMonth) + " " + MonthName(p.month) + " " +
                       std::to_string(p.year);
            break;
        case 'm': {
            bool minutes = run <= 2 && (afterHour || NextLetter(pattern, i + run) == 's');
            if (minutes)
                out += run == 1 ? std::to_string(p.minute) : TwoDigits(p.minute);
            else if (run == 1)
                out += std::to_string(p.month);
            else if (run == 2)
                out += TwoDigits(p.month);
            else
                out += MonthName(p.month, run == 3);
            break;
        }
        case 'y':
            if (run >= 3)
                out += std::to_string(p.year);
            else if (run == 2)
                out += TwoDigits(p.year % 100);
            else
                out += std::to_string(p.day - DateSerial(p.year, 1, 1) + 1);
            break;
        case 'h':
            out += run == 1 ? std::to_string(p.hour) : TwoDigits(p.hour);
            break;
        case 'n':
            out += run == 1 ? std::to_string(p.minute) : TwoDigits(p.minute);
            break;
        case 's':
            out += run == 1 ? std::to_string(p.second) : TwoDigits(p.second);
            break;
        case 'w':
            if (run == 1)
                out += std::to_string(Weekday(p.day));
            else {
                // Week of 1 January is week 1; weeks start on Sunday.
                int32_t jan1 = DateSerial(p.year, 1, 1);
                out += std::to_string((p.day - jan1 + Weekday(jan1) - 1) / 7 + 1);
            }
            break;
        case 'q':
            out += std::to_string((p.month - 1) / 3 + 1);
            break;
        default:
            out.append(run, c);
            break;
        }
        if (std::string("dmyhnswq").find(lower) != std::string::npos) afterHour = lower == 'h';
        i += run;
    }
    return out;
}

int32_t DateSerial(int year, int month, int day) {
    int zeroBased = month - 1;
    int yearShift = zeroBased >= 0 ? zeroBased / 12 : -((11 - zeroBased) / 12);
    year += yearShift;
    month = zeroBased - yearShift * 12 + 1;
    return Platform::Clock::SerialOfDate(year, month, 1) + (day - 1);
}

double TimeSerial(int hours, int minutes, int seconds) {
    return (static_cast<double>(hours) * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
}

int Weekday(int32_t day, int firstDayOfWeek) {
    // Serial 1 (1899-12-31) was a Sunday.
    int64_t sundayBased = ((static_cast<int64_t>(day) - 1) % 7 + 7) % 7 + 1;
    if (firstDayOfWeek < 1 || firstDayOfWeek > 7) firstDayOfWeek = 1;
    return static_cast<int>((sundayBased - firstDayOfWeek + 7) % 7 + 1);
}

std::string WeekdayName(int weekday, bool abbreviate) {
    if (weekday < 1 || weekday > 7) return "";
    std::string name = kWeekdays[static_cast<size_t>(weekday - 1)];
    return abbreviate ? name.substr(0, 3) : name;
}

std::string MonthName(int month, bool abbreviate) {
    if (month < 1 || month > 12) return "";
    std::string name = kMonths[static_cast<size_t>(month - 1)];
    return abbreviate ? name.substr(0, 3) : name;
}

std::string Space(int count) {
    return std::string(static_cast<size_t>(std::max(count, 0)), ' ');
}

std::string String(int count, char c) {
    return std::string(static_cast<size_t>(std::max(count, 0)), c);
}

std::string Left(const std::string& text, int count) {
    return text.substr(0, static_cast<size_t>(std::max(count, 0)));
}

std::string Right(const std::string& text, int count) {
    size_t n = std::min(text.size(), static_cast<size_t>(std::max(count, 0)));
    return text.substr(text.size() - n);
}

std::string Mid(const std::string& text, int start, int count) {
    if (start < 1) start = 1;
    size_t from = static_cast<size_t>(start - 1);
    if (from >= text.size()) return "";
    return count < 0 ? text.substr(from) : text.substr(from, static_cast<size_t>(count));
}

std::string FixedLength(const std::string& text, int length) {
    std::string out = Left(text, length);
    out.resize(static_cast<size_t>(std::max(length, 0)), ' ');
    return out;
}

int InStr(int start, const std::string& text, const std::string& what, bool textCompare) {
    if (start < 1) start = 1;
    size_t from = static_cast<size_t>(start - 1);
    if (from > text.size()) return 0;
    size_t found = textCompare ? LCase(text).find(LCase(what), from) : text.find(what, from);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

namespace {

unsigned char UpperOf(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);
    if (c == 0xFF) return 0x9F;
    return c;
}

unsigned char LowerOf(unsigned char c) {
    return static_cast<unsigned char>(Platform::LowerCase1252(static_cast<char>(c)));
}

template <typename F> std::string Mapped(const std::string& text, F f) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(f(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::string UCase(const std::string& text) {
    return Mapped(text, UpperOf);
}

std::string LCase(const std::string& text) {
    return Mapped(text, LowerOf);
}

std::string LTrim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first);
}

std::string RTrim(const std::string& text) {
    size_t last = text.find_last_not_of(' ');
    return last == std::string::npos ? "" : text.substr(0, last + 1);
}

std::string Trim(const std::string& text) {
    return LTrim(RTrim(text));
}

std::string Hex(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<uint32_t>(value));
    return buffer;
}

} // namespace VB
