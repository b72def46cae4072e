#include "browsing/cPrinting.h"

#include "core/GeneralFunctions.h"
#include "platform/VB.h"

#include <algorithm>

namespace Browsing {

namespace {

constexpr size_t kMaxColumns = 99;
constexpr size_t kMaxItems = 32767;

int32_t Round(double value) {
    return static_cast<int32_t>(VB::RoundHalfEven(value));
}

// Reasons a print ends early.
struct PrintFailure {
    std::string reason;
};

void Must(bool ok, PrinterSurface& printer) {
    if (!ok) throw PrintFailure{printer.Failure()};
}

} // namespace

int32_t cPrinting::ScaledWidth(int32_t column) const {
    return Round(WidthScale * ColumnWidths[static_cast<size_t>(column)]);
}

bool cPrinting::PrintListView(PrintList* lvwItems, const std::string& Caption, bool SelectedOnly) {
    if (!lvwItems) return false;
    CurrentList = lvwItems;
    LastError.clear();
    const int savedScale = printer_.ScaleMode;
    bool ok = false;
    try {
        ok = Run(*lvwItems, Caption, SelectedOnly);
    } catch (const PrintFailure& failure) {
        Fail(failure.reason);
    }
    printer_.ScaleMode = savedScale;
    return ok;
}

void cPrinting::Fail(const std::string& reason) {
    LastError = reason;
    // The document begun is given up rather than left open.
    printer_.KillDoc();
}

bool cPrinting::Run(PrintList& list, const std::string& caption, bool selectedOnly) {
    printer_.ScaleMode = 1;
    const size_t columns = list.Columns.size();
    if (columns > kMaxColumns) throw PrintFailure{"Subscript out of range"};
    printer_.FontBold = true;
    printer_.DrawWidth = 10;
    LeftMargin = Round(20 * printer_.TwipsPerPixelX());
    RightLimit = Round(printer_.ScaleWidth() - 20 * printer_.TwipsPerPixelX());
    TextLeft = Round(LeftMargin + 10 * printer_.TwipsPerPixelX());

    printer_.CurrentY = 10 * printer_.TwipsPerPixelY();
    printer_.CurrentX = TextLeft;
    printer_.FontSize = 14;
    printer_.FontUnderline = true;
    Must(printer_.Print(caption, true), printer_);
    printer_.FontUnderline = false;
    const int32_t headerTop = Round(printer_.CurrentY + 40 * printer_.TwipsPerPixelY());
    printer_.FontSize = 12;

    ColumnWidths.fill(0);
    ColumnLefts.fill(0);
    double total = 0;
    for (size_t c = 1; c <= columns; ++c) {
        int32_t& width = ColumnWidths[c];
        width = Round(list.Columns[c - 1].Width);
        if (CheckColWidth) CheckColWidth(list, static_cast<int16_t>(c), width);
        if (width > 0) total += width + ColumnSpacing;
    }
    if (total == 0) throw PrintFailure{"Division by zero"};
    WidthScale = static_cast<float>((RightLimit - TextLeft) / total);

    printer_.CurrentY = headerTop + 10 * printer_.TwipsPerPixelY();
    Must(PrintColumnHeaders(list), printer_);

    int32_t linesPrinted = 0;
    const size_t count = list.Items.size();
    for (size_t r = 1; r <= count; ++r) {
        if (r > kMaxItems) throw PrintFailure{"Overflow"};
        bool printIt = list.Items[r - 1].Selected || !selectedOnly;
        if (CheckPrintRow) CheckPrintRow(list, static_cast<int16_t>(r), printIt, linesPrinted);
        if (!printIt) continue;
        if (PrintProgress)
            PrintProgress(list, static_cast<int16_t>(Round(100.0 * linesPrinted / count)),
                          linesPrinted);
        Must(PrintRow(list, static_cast<int32_t>(r), linesPrinted), printer_);
        if (printer_.CurrentY + 600 > printer_.ScaleHeight()) Must(NewPage(), printer_);
        ++linesPrinted;
    }
    Must(printer_.EndDoc(), printer_);
    if (PrintProgress) PrintProgress(list, 100, linesPrinted);
    CurrentList = nullptr;
    LastError.clear();
    return true;
}

bool cPrinting::PrintRow(PrintList& list, int32_t row, int32_t linesPrinted) {
    const PrintItem& item = list.Items[static_cast<size_t>(row - 1)];
    printer_.CurrentY += ColumnSpacing;
    const size_t columns = list.Columns.size();
    for (size_t c = 1; c <= columns; ++c) {
        printer_.CurrentX = ColumnLefts[c];
        if (ColumnWidths[c] <= 0) continue;
        PrintCell cell;
        if (c == 1)
            cell = item.Cell;
        else if (c - 2 < item.SubItems.size())
            cell = item.SubItems[c - 2];
        std::string text = cell.Text;
        if (CheckPrintCell)
            CheckPrintCell(list, static_cast<int16_t>(row), static_cast<int16_t>(c), text,
                           linesPrinted);
        if (VB::Trim(text).empty()) continue;
        printer_.FontBold = cell.Bold;
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::replace(text.begin(), text.end(), '\n', ' ');
        auto width = [this](const std::string& s) { return printer_.TextWidth(s); };
        if (!printer_.Print(
                GeneralFunctions::FitTextToWidth(width, text, ScaledWidth(static_cast<int32_t>(c))),
                false))
            return false;
    }
    return printer_.Print("", true);
}

bool cPrinting::PrintColumnHeaders(PrintList& list) {
    printer_.FontBold = true;
    printer_.CurrentX = TextLeft;
    const size_t columns = list.Columns.size();
    auto width = [this](const std::string& s) { return printer_.TextWidth(s); };
    for (size_t c = 1; c <= columns; ++c) {
        const int32_t x0 = Round(printer_.CurrentX);
        if (ColumnWidths[c] <= 0) continue;
        ColumnLefts[c] = x0;
        const std::string header = GeneralFunctions::FitTextToWidth(
            width, list.Columns[c - 1].Header, ScaledWidth(static_cast<int32_t>(c)));
        if (!printer_.Print(header, false)) return false;
        printer_.CurrentX = x0 + WidthScale * (ColumnWidths[c] + ColumnSpacing);
    }
    ColumnLefts[columns + 1] = Round(printer_.CurrentX);
    if (!printer_.Print("", true)) return false;
    const double ruleY = Round(printer_.CurrentY + ColumnSpacing);
    if (!printer_.Line(LeftMargin, ruleY, RightLimit, ruleY, 0)) return false;
    printer_.FontBold = false;
    return true;
}

bool cPrinting::NewPage() {
    if (!printer_.NewPage()) return false;
    if (CurrentList) return PrintColumnHeaders(*CurrentList);
    return true;
}

} // namespace Browsing
