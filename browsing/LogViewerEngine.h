#pragma once
// The advert log viewer without widgets: one day's log as rows of time, cart, title and
// reference, the marked row at an hour, the date and hour boxes, the picker's request and
// answer, and printing through list printing.
#include "browsing/PrinterSurface.h"
#include "browsing/cPrinting.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Browsing {

struct LogRow {
    std::string Time, Cart, Title, Reference; // all empty for a blank line
    bool Selected = false;
};

class LogViewerEngine {
public:
    int16_t SplitNumber = 1;
    std::vector<LogRow> Rows;
    int32_t MarkedRow = 0; // 1-based, 0 = none
    std::string Caption;
    std::string txtStartDate;
    std::string txtStarthour = "00";
    std::string lblStartDay;
    bool cmdPrintEnabled = false;
    // The date whose log the list shows (0 before the first DisplayLog).
    int32_t DisplayedDate = 0;
    // Width of the reference column (twips), from the list's width at load.
    int32_t RefWidth = 0;

    void Load(int32_t listWidth);
    void DisplayLog(int32_t LogDate, float LogTime);
    bool CanPrint() const { return !Rows.empty(); }
    // The date box's handlers; View answers false (after its message) for a date that is not.
    void DateChanged();
    void DateLostFocus();
    bool View();
    // The picker's request from the boxes, and its answer back into them.
    std::string PickerRequest() const;
    void ApplyPickerAnswer(const std::string& tag);
    // The list as list printing takes it.
    PrintList ToPrintList() const;
    // Prints on printer and reports the outcome in a message box; true when printed.
    bool PrintInfo(PrinterSurface& printer);
};

} // namespace Browsing
