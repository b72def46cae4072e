#include "browsing/DateText.h"

#include "platform/VB.h"

#include <cctype>
#include <vector>

namespace Browsing {

namespace {

int MonthOf(const std::string& word) {
    const std::string lower = VB::LCase(word);
    for (int m = 1; m <= 12; ++m) {
        const std::string name = VB::LCase(VB::MonthName(m));
        if (lower == name || (lower.size() == 3 && name.compare(0, 3, lower) == 0)) return m;
    }
    return 0;
}

// Splits into runs of digits and runs of letters; anything else separates.
std::vector<std::string> Parts(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    auto flush = [&] {
        if (!current.empty()) parts.push_back(current);
        current.clear();
    };
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool digit = std::isdigit(u) != 0, letter = std::isalpha(u) != 0;
        if (!digit && !letter) {
            flush();
            continue;
        }
        if (!current.empty() &&
            (std::isdigit(static_cast<unsigned char>(current.back())) != 0) != digit)
            flush();
        current += c;
    }
    flush();
    return parts;
}

bool IsNumber(const std::string& part) {
    return !part.empty() && part.size() <= 4 && std::isdigit(static_cast<unsigned char>(part[0]));
}

std::optional<int32_t> Build(int year, int month, int day, size_t yearDigits) {
    if (yearDigits <= 2) year += year < 30 ? 2000 : 1900;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
    const int32_t serial = VB::DateSerial(year, month, day);
    // A day past the month's end rolls over in DateSerial: refuse it.
    if (VB::DateSerial(year, month + 1, 1) <= serial) return std::nullopt;
    return serial;
}

} // namespace

std::optional<int32_t> ParseDate(const std::string& text) {
    const std::vector<std::string> p = Parts(text);
    if (p.size() != 3) return std::nullopt;
    auto num = [](const std::string& s) { return std::stoi(s); };
    if (IsNumber(p[0]) && IsNumber(p[1]) && IsNumber(p[2])) {
        if (p[0].size() == 4) return Build(num(p[0]), num(p[1]), num(p[2]), 4);
        return Build(num(p[2]), num(p[1]), num(p[0]), p[2].size());
    }
    if (IsNumber(p[0]) && MonthOf(p[1]) && IsNumber(p[2]))
        return Build(num(p[2]), MonthOf(p[1]), num(p[0]), p[2].size());
    if (MonthOf(p[0]) && IsNumber(p[1]) && IsNumber(p[2]))
        return Build(num(p[2]), MonthOf(p[0]), num(p[1]), p[2].size());
    return std::nullopt;
}

std::string FormatDayNumber(int32_t day) {
    return VB::FormatDate(day, "dd mmmm yyyy");
}

} // namespace Browsing
