#pragma once
// List printing: a list's title, header row with its rule, and rows, with the columns scaled
// to the printable width and page breaks; four events let a caller steer it.
#include "browsing/PrinterSurface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Browsing {

// The list printed: columns (header and width) and items (text, bold, sub-items, selected).
struct PrintCell {
    std::string Text;
    bool Bold = false;
};
struct PrintItem {
    PrintCell Cell;
    std::vector<PrintCell> SubItems;
    bool Selected = false;
};
struct PrintColumn {
    std::string Header;
    double Width = 0;
};
struct PrintList {
    std::vector<PrintColumn> Columns;
    std::vector<PrintItem> Items;
};

class cPrinting {
public:
    explicit cPrinting(PrinterSurface& printer) : printer_(printer) {}

    int32_t ColumnSpacing = 60;

    // Events, raised synchronously; the references may be changed by the handler.
    std::function<void(PrintList&, int16_t ColNumber, int32_t& ColWidth)> CheckColWidth;
    std::function<void(PrintList&, int16_t ProgressPercent, int32_t LinesPrinted)> PrintProgress;
    std::function<void(PrintList&, int16_t RowNumber, bool& PrintIt, int32_t LinesPrinted)>
        CheckPrintRow;
    std::function<void(PrintList&, int16_t RowNumber, int16_t ColNumber, std::string& strPrint,
                       int32_t LinesPrinted)>
        CheckPrintCell;

    // True when the whole document went to the printer; a failure gives up the document.
    bool PrintListView(PrintList* lvwItems, const std::string& Caption, bool SelectedOnly);
    bool NewPage();
    std::string GetLastError() const { return LastError; }

private:
    bool Run(PrintList& list, const std::string& caption, bool selectedOnly);
    bool PrintColumnHeaders(PrintList& list);
    bool PrintRow(PrintList& list, int32_t row, int32_t linesPrinted);
    int32_t ScaledWidth(int32_t column) const;
    void Fail(const std::string& reason);

    PrinterSurface& printer_;
    std::string LastError;
    PrintList* CurrentList = nullptr;
    std::array<int32_t, 101> ColumnWidths{};
    std::array<int32_t, 101> ColumnLefts{};
    float WidthScale = 0;
    int32_t LeftMargin = 0;
    int32_t RightLimit = 0;
    int32_t TextLeft = 0;
};

} // namespace Browsing
