#include "browsing/SelectHourEngine.h"

#include "browsing/KeyCodes.h"
#include "core/GeneralFunctions.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <algorithm>
#include <cmath>

namespace Browsing {

namespace {

int Part(int32_t day, const char* pattern) {
    return std::stoi(VB::FormatDate(day, pattern));
}

std::string TwoDigits(double value) {
    return VB::FormatNumber(value, "00");
}

} // namespace

void SelectHourEngine::Setup() {
    if (Initialised) return;
    Loading = true;
    int32_t date = 0;
    int hour = 0;
    if (!Tag.empty()) {
        date = static_cast<int32_t>(VB::Val(VB::Left(Tag, 5)));
        hour = static_cast<int>(VB::Val(VB::Mid(Tag, 6, 2)));
        const double minutes = VB::Val(VB::Mid(Tag, 9));
        if (minutes != 0) txtMinutes = TwoDigits(minutes);
    } else {
        const GeneralFunctions::TimeStamp now = GeneralFunctions::TimeStampNow(false);
        date = now.Day;
        hour = static_cast<int>(now.Seconds / 3600) - 1;
    }
    if (hour < 0) {
        hour = 23;
        date -= 1;
    }
    TimeT = std::to_string(hour);
    SelectedDay = static_cast<int16_t>(Part(date, "d"));
    SelectedMonth = static_cast<int16_t>(Part(date, "m"));
    const int year = Part(date, "yyyy");
    SelectedYear =
        static_cast<int16_t>(year >= kFirstYear && year <= kLastYear
                                 ? year
                                 : Part(GeneralFunctions::TimeStampNow(false).Day, "yyyy"));
    Loading = false;
    BuildMonthGrid();
    Initialised = true;
}

void SelectHourEngine::SetMonth(int16_t month) {
    SelectedMonth = std::clamp<int16_t>(month, 1, 12);
    BuildMonthGrid();
}

void SelectHourEngine::SetYear(int16_t year) {
    SelectedYear = std::clamp(year, kFirstYear, kLastYear);
    BuildMonthGrid();
}

void SelectHourEngine::BuildMonthGrid() {
    if (Loading) return;
    DaysInMonth = static_cast<int16_t>(VB::DateSerial(SelectedYear, SelectedMonth + 1, 1) -
                                       VB::DateSerial(SelectedYear, SelectedMonth, 1));
    if (SelectedDay > DaysInMonth) SelectedDay = DaysInMonth;
    FirstDayOffset =
        static_cast<int16_t>(VB::Weekday(VB::DateSerial(SelectedYear, SelectedMonth, 1)) - 2);
    Cells.fill("");
    for (int d = 1; d <= DaysInMonth; ++d)
        Cells[static_cast<size_t>(FirstDayOffset + d)] = std::to_string(d);
    MarkedDay = 0;
    SelectDay();
}

void SelectHourEngine::SelectDay() {
    SelectedDay = std::clamp<int16_t>(SelectedDay, 1, DaysInMonth);
    MarkedDay = SelectedDay;
}

void SelectHourEngine::ClickCell(int cell) {
    SelectedDay = static_cast<int16_t>(cell - FirstDayOffset);
    SelectDay();
}

bool SelectHourEngine::DayScrollKey(int16_t keyCode) {
    int days = 0;
    switch (keyCode) {
    case kKeyUp:
        days = -7;
        break;
    case kKeyDown:
        days = 7;
        break;
    case kKeyLeft:
        days = -1;
        break;
    case kKeyRight:
        days = 1;
        break;
    default:
        return false;
    }
    // The scroll bar runs from 0 to 31; selecting the day keeps it within the month.
    SelectedDay = static_cast<int16_t>(std::clamp(SelectedDay + days, 0, 31));
    SelectDay();
    return true;
}

int16_t SelectHourEngine::HourAt(double x, double y, double width, double height) {
    const double dx = std::round(x - width / 2), dy = std::round(height / 2 - y);
    const double dist = std::round(std::sqrt(dx * dx + dy * dy));
    if (dist < 1 || dist > 0.49 * width) return -1;
    double angle = 0;
    if (dx == 0)
        angle = dy > 0 ? 0 : 180;
    else if (dy == 0)
        angle = dx > 0 ? 90 : 270;
    else
        angle = (dx > 0 ? 90 : 270) - std::atan(dy / dx) * 180 / M_PI;
    int16_t hour = static_cast<int16_t>(std::floor(angle / 30));
    if (dist > 0.49 * width / 2) hour += 12;
    return hour;
}

void SelectHourEngine::ClockPress(double x, double y, double width, double height) {
    const int16_t hour = HourAt(x, y, width, height);
    if (hour >= 0) TimeT = std::to_string(hour);
}

bool SelectHourEngine::OK() {
    const double hour = VB::Val(TimeT);
    if (VB::Trim(TimeT).empty() || hour < 0 || hour > 23) {
        Platform::MsgBox("The hour must be from 0 to 23", Platform::vbInformation);
        return false;
    }
    const int32_t date =
        std::min(VB::DateSerial(SelectedYear, SelectedMonth, SelectedDay), kLastDay);
    std::string result = std::to_string(date) + TwoDigits(hour);
    if (ReturnMinutes) result += ":" + TwoDigits(VB::Val(txtMinutes));
    txtMinutes = "00";
    ReturnMinutes = false;
    Tag = result;
    Initialised = false;
    return true;
}

void SelectHourEngine::Cancel() {
    Tag.clear();
    txtMinutes = "00";
    Initialised = false;
    ReturnMinutes = false;
}

} // namespace Browsing
