#pragma once
// The log warnings week: for each hour of the week (Monday first) how many days ahead the
// advert logs must already exist, one digit per hour in a 168-character setting.
#include <array>
#include <string>

namespace SettingsDialogs {

class LogWarningWeek {
public:
    static constexpr int kDays = 7;
    static constexpr int kHours = 24;

    // Day 1 (Monday) .. 7, hour 0 .. 23. A setting shorter than 168 characters counts the
    // missing hours as 0; characters that are not digits 1 to 9 count as 0.
    explicit LogWarningWeek(const std::string& setting = "");

    // The cell's text: its digit, empty for 0.
    std::string Cell(int day, int hour) const;
    // An edit of the cell: a text whose number is 0 or less empties it, else its first digit
    // is kept.
    void SetCell(int day, int hour, const std::string& text);
    // The 168-digit setting.
    std::string Setting() const;

private:
    std::array<char, kDays * kHours> digits_{};
};

} // namespace SettingsDialogs
