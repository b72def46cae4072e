#include "settings_dialogs/LogWarningWeek.h"

#include "platform/VB.h"

namespace SettingsDialogs {
namespace {

size_t Index(int day, int hour) {
    return static_cast<size_t>((day - 1) * LogWarningWeek::kHours + hour);
}

char DigitOf(const std::string& text) {
    if (VB::Val(text) <= 0) return '0';
    std::string trimmed = VB::Trim(text);
    char c = trimmed.empty() ? '0' : trimmed.front();
    return c >= '1' && c <= '9' ? c : '0';
}

} // namespace

LogWarningWeek::LogWarningWeek(const std::string& setting) {
    digits_.fill('0');
    for (size_t i = 0; i < digits_.size() && i < setting.size(); ++i)
        digits_[i] = DigitOf(std::string(1, setting[i]));
}

std::string LogWarningWeek::Cell(int day, int hour) const {
    char c = digits_.at(Index(day, hour));
    return c == '0' ? "" : std::string(1, c);
}

void LogWarningWeek::SetCell(int day, int hour, const std::string& text) {
    digits_.at(Index(day, hour)) = DigitOf(text);
}

std::string LogWarningWeek::Setting() const {
    return std::string(digits_.begin(), digits_.end());
}

} // namespace SettingsDialogs
