#pragma once
// The date and hour picker without widgets: the request and answer in Tag, the month grid,
// day selection, the clock face's hit test and OK and Cancel.
#include <array>
#include <cstdint>
#include <string>

namespace Browsing {

class SelectHourEngine {
public:
    static constexpr int16_t kFirstYear = 1980;
    // Day numbers keep five digits up to 13 October 2173.
    static constexpr int16_t kLastYear = 2173;
    static constexpr int32_t kLastDay = 99999;

    std::string Tag;
    bool ReturnMinutes = false;
    bool Initialised = false;
    bool Loading = false;
    bool TimeDisabled = false;
    int16_t SelectedDay = 1, SelectedMonth = 1, SelectedYear = kFirstYear;
    int16_t MarkedDay = 0;
    int16_t DaysInMonth = 31;
    int16_t FirstDayOffset = 0;
    std::string TimeT;             // the hour box
    std::string txtMinutes = "00"; // the minutes box
    std::array<std::string, 37> Cells;
    // The day scroll bar has the focus: the selected cell is highlighted.
    bool DayScrollFocused = false;

    // The set-up on activation, once per showing.
    void Setup();
    void BuildMonthGrid();
    void SelectDay();
    void ClickCell(int cell);
    // Arrow keys on the day scroll bar: Up and Down a week back and on, Left and Right a day;
    // false for other keys.
    bool DayScrollKey(int16_t keyCode);
    void SetMonth(int16_t month);
    void SetYear(int16_t year);
    void DisableTime() { TimeDisabled = true; }
    // The hour under a press on a clock face of the given size; -1 outside the face.
    static int16_t HourAt(double x, double y, double width, double height);
    // A press on the clock face: sets the hour box when the press hits the face.
    void ClockPress(double x, double y, double width, double height);
    // OK: false (and a message) when the hour box holds no hour of 0 to 23.
    bool OK();
    void Cancel();
};

} // namespace Browsing
