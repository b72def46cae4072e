#include "network_control/modCorvane.h"

#include "platform/VB.h"

#include <cmath>
#include <limits>

namespace modCorvane {

namespace {

std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

} // namespace

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string GetToken(const std::string& Text, int32_t& Start, const std::string& Delimiter,
                     int32_t& EndPos, bool TrimIt) {
    if (Start < 1) Start = 1;
    if (static_cast<size_t>(Start) > Text.size()) return "";
    size_t first = Text.find_first_not_of(' ', static_cast<size_t>(Start - 1));
    if (first == std::string::npos) return "";
    size_t end = Delimiter.empty() ? std::string::npos : Text.find(Delimiter, first);
    EndPos = end == std::string::npos ? 0 : static_cast<int32_t>(end + 1);
    std::string token =
        Text.substr(first, end == std::string::npos ? std::string::npos : end - first);
    return TrimIt ? Trim(token) : token;
}

int32_t LeadingNumber(const std::string& text) {
    double value = VB::RoundHalfEven(VB::Val(text));
    if (!std::isfinite(value)) return 0;
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return value < low || value > high ? 0 : static_cast<int32_t>(value);
}

int32_t ArgumentStart(const std::string& line) {
    size_t blank = line.find(' ');
    return static_cast<int32_t>(blank == std::string::npos ? line.size() + 1 : blank + 2);
}

std::string CommandWord(const std::string& line) {
    return UpperCase(line.substr(0, line.find(' ')));
}

void SetTraceSink(std::function<void(const std::string&)> sink) {
    Sink() = std::move(sink);
}

void Trace(const std::string& text) {
    if (Sink()) Sink()(text);
}

} // namespace modCorvane
