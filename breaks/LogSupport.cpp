#include "breaks/LogSupport.h"

#include "platform/Clock.h"
#include "platform/Files.h"

#include <QDateTime>
#include <QFileInfo>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace LogSupport {
namespace {

std::function<void(const std::string&)>& TraceSink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

double HexOrOctal(const std::string& digits, int base) {
    double value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        if (d >= base) break;
        value = value * base + d;
    }
    return value;
}

const std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};
const std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

std::string Two(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

} // namespace

double Val(const std::string& text) {
    // Blanks anywhere are skipped, as the classic conversion does.
    std::string s;
    for (char c : text)
        if (!IsBlank(c)) s += c;
    if (s.size() >= 2 && s[0] == '&') {
        char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') return HexOrOctal(s.substr(2), 16);
        if (kind == 'O') return HexOrOctal(s.substr(2), 8);
        return HexOrOctal(s.substr(1), 8);
    }
    size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        number += s[i++], digits = true;
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            number += s[i++], digits = true;
    }
    if (!digits) return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        size_t start = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            exponent += s[j++];
        if (j > start) number += exponent;
    }
    double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value); // default rounding mode is to nearest, ties to even
}

std::string Mid(const std::string& text, int start, int length) {
    if (start < 1 || static_cast<size_t>(start) > text.size()) return "";
    size_t from = static_cast<size_t>(start - 1);
    if (length < 0) return text.substr(from);
    return text.substr(from, static_cast<size_t>(length));
}

std::string Trim(const std::string& text) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    size_t e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

std::string UCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 'a' && u <= 'z')
            u = static_cast<unsigned char>(u - 32);
        else if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
            u = static_cast<unsigned char>(u - 32);
        else if (u == 0x9A || u == 0x9C || u == 0x9E)
            u = static_cast<unsigned char>(u - 16);
        else if (u == 0xFF)
            u = 0x9F;
        c = static_cast<char>(u);
    }
    return out;
}

std::string PadRight(const std::string& text, int width, char pad) {
    size_t w = static_cast<size_t>(std::max(width, 0));
    if (text.size() >= w) return text.substr(0, w);
    return text + std::string(w - text.size(), pad);
}

std::string PadLeft(const std::string& text, int width, char pad) {
    size_t w = static_cast<size_t>(std::max(width, 0));
    if (text.size() >= w) return text.substr(0, w);
    return std::string(w - text.size(), pad) + text;
}

std::string FormatHMS(double seconds) {
    if (!(seconds > 0)) seconds = 0;
    auto whole = static_cast<int64_t>(std::floor(seconds));
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02lld:%02d:%02d", static_cast<long long>(whole / 3600),
                  static_cast<int>(whole / 60 % 60), static_cast<int>(whole % 60));
    return buf;
}

std::string SingleText(float value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string FormatDate(int32_t day, const std::string& pattern) {
    int y, m, d;
    Platform::Clock::DateOfSerial(day, y, m, d);
    QDate date(y, m, d);
    int weekday = date.dayOfWeek() % 7; // 0 = Sunday
    std::string out;
    size_t i = 0;
    auto run = [&](char letter) {
        size_t n = 0;
        while (i + n < pattern.size() &&
               std::tolower(static_cast<unsigned char>(pattern[i + n])) == letter)
            ++n;
        return n;
    };
    while (i < pattern.size()) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        size_t n = (c == 'd' || c == 'm' || c == 'y' || c == 'w' || c == 'q') ? run(c) : 0;
        if (c == 'd' && n > 0) {
            if (n == 1)
                out += std::to_string(d);
            else if (n == 2)
                out += Two(d);
            else if (n == 3)
                out += std::string(kDayNames[weekday]).substr(0, 3);
            else if (n == 4)
                out += kDayNames[weekday];
            else
                out += ShortDate(day);
        } else if (c == 'm' && n > 0) {
            if (n == 1)
                out += std::to_string(m);
            else if (n == 2)
                out += Two(m);
            else if (n == 3)
                out += std::string(kMonthNames[m - 1]).substr(0, 3);
            else
                out += kMonthNames[m - 1];
        } else if (c == 'y' && n > 0) {
            if (n == 1)
                out += std::to_string(date.dayOfYear());
            else if (n <= 3)
                out += Two(y % 100);
            else
                out += std::to_string(y);
        } else if (c == 'w' && n > 0) {
            if (n == 1)
                out += std::to_string(weekday + 1);
            else {
                // Week 1 holds 1 January; weeks start on Sunday.
                int jan1 = QDate(y, 1, 1).dayOfWeek() % 7;
                out += std::to_string((date.dayOfYear() - 1 + jan1) / 7 + 1);
            }
        } else if (c == 'q' && n > 0) {
            out += std::to_string((m - 1) / 3 + 1);
        } else {
            out += pattern[i];
            n = 1;
        }
        i += n;
    }
    return out;
}

std::string ShortDate(int32_t day) {
    int y, m, d;
    Platform::Clock::DateOfSerial(day, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return buf;
}

double SafeFileLen(const std::string& path) {
    if (path.empty()) return -1;
    std::error_code ec;
    std::filesystem::path p(Platform::ResolveExisting(path));
    if (!std::filesystem::is_regular_file(p, ec)) return -1;
    auto size = std::filesystem::file_size(p, ec);
    return ec ? -1 : static_cast<double>(size);
}

void AppendTimedLine(const std::string& fileName, bool withTime, const std::string& text) {
    if (fileName.empty()) return;
    std::string line;
    if (withTime) {
        Platform::Clock::Moment now = Platform::Clock::Now();
        line = ShortDate(now.day) + " " + FormatHMS(now.seconds) + " ";
    }
    line += text + "\r\n";
    std::ofstream out(Platform::ResolveExisting(fileName), std::ios::binary | std::ios::app);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

void WriteDebugLine(const std::string& text) {
    if (Settings().DebugMode == 0) return;
    if (TraceSink()) TraceSink()(text);
}

void SetTraceSink(std::function<void(const std::string&)> sink) {
    TraceSink() = std::move(sink);
}

bool FileModifiedStamp(const std::string& path, TimeStamp& stamp, int& errorNumber) {
    QFileInfo info(QString::fromStdString(Platform::ResolveExisting(path)));
    if (!info.exists()) {
        errorNumber = Platform::errFileNotFound;
        return false;
    }
    QDateTime when = info.lastModified();
    stamp.Day =
        Platform::Clock::SerialOfDate(when.date().year(), when.date().month(), when.date().day());
    stamp.Seconds = static_cast<float>(when.time().msecsSinceStartOfDay() / 1000);
    errorNumber = 0;
    return true;
}

SplitSettingsView& Settings() {
    static SplitSettingsView settings;
    return settings;
}

} // namespace LogSupport
