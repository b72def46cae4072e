#include "browsing/LogViewerEngine.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/ZEL_Common.h"
#include "browsing/DateText.h"
#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <algorithm>
#include <fstream>

namespace Browsing {

namespace {

bool Blank(const std::string& line) {
    return line.find_first_not_of(' ') == std::string::npos;
}

} // namespace

void LogViewerEngine::Load(int32_t listWidth) {
    txtStartDate = FormatDayNumber(GeneralFunctions::TimeStampNow(false).Day + 1);
    DateChanged();
    txtStarthour = "00";
    RefWidth = std::max(0, listWidth - 4515);
}

void LogViewerEngine::DisplayLog(int32_t LogDate, float LogTime) {
    Rows.clear();
    MarkedRow = 0;
    DisplayedDate = LogDate;
    txtStartDate = FormatDayNumber(LogDate);
    DateChanged();
    txtStarthour = std::to_string(static_cast<int>(LogTime / 3600));
    std::string path = ZEL_Common::GetDestinationLogPath(SplitNumber, LogDate, false);
    bool notCopied = false;
    if (GeneralFunctions::SafeFileLen(path) < 0) {
        path = ZEL_Common::GetSourceLogPath(SplitNumber, LogDate, false);
        notCopied = true;
    }
    Caption = "View Advert Log : " + VB::FormatDate(LogDate, "dddd, d mmmm yyyy") +
              (notCopied ? "(Not copied in yet)" : "");
    if (GeneralFunctions::SafeFileLen(path) <= 0) return;
    std::ifstream in(Platform::ResolveExisting(path), std::ios::binary);
    float previous = -1;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (Blank(line)) {
            Rows.push_back({});
            previous = -1;
            continue;
        }
        const float t = AdvertLog_FN::GetLineTime(line);
        std::string time;
        if (t > previous) {
            time = GeneralFunctions::FormatDuration(t, 4);
            previous = t;
            if (MarkedRow == 0 && t >= LogTime) MarkedRow = static_cast<int32_t>(Rows.size()) + 1;
        }
        Rows.push_back({time, std::to_string(AdvertLog_FN::GetLineCartNumber(line)),
                        AdvertLog_FN::GetLineTitle(line), AdvertLog_FN::GetLineReference(line)});
    }
    if (MarkedRow >= 1 && MarkedRow <= static_cast<int32_t>(Rows.size()))
        Rows[static_cast<size_t>(MarkedRow - 1)].Selected = true;
    cmdPrintEnabled = !Rows.empty();
}

void LogViewerEngine::DateChanged() {
    if (std::optional<int32_t> day = ParseDate(txtStartDate))
        lblStartDay = VB::FormatDate(*day, "dddd");
}

void LogViewerEngine::DateLostFocus() {
    if (std::optional<int32_t> day = ParseDate(txtStartDate)) {
        txtStartDate = FormatDayNumber(*day);
        DateChanged();
    }
}

bool LogViewerEngine::View() {
    std::optional<int32_t> day = ParseDate(txtStartDate);
    if (!day) {
        Platform::MsgBox("You must enter a valid Date to view", Platform::vbInformation);
        return false;
    }
    DateLostFocus();
    DisplayLog(*day, static_cast<float>(VB::Val(txtStarthour) * 3600));
    return true;
}

std::string LogViewerEngine::PickerRequest() const {
    std::optional<int32_t> day = ParseDate(txtStartDate);
    const int32_t date = day ? *day : GeneralFunctions::TimeStampNow(false).Day;
    return std::to_string(date) + std::to_string(static_cast<int>(VB::Val(txtStarthour)));
}

void LogViewerEngine::ApplyPickerAnswer(const std::string& tag) {
    if (VB::Val(tag) <= 0) return;
    txtStartDate = FormatDayNumber(static_cast<int32_t>(VB::Val(VB::Left(tag, 5))));
    DateChanged();
    txtStarthour = VB::FormatNumber(VB::Val(VB::Mid(tag, 6, 2)), "00");
}

PrintList LogViewerEngine::ToPrintList() const {
    PrintList list;
    list.Columns = {{"Time", 600}, {"Cart", 600}, {"Title", 3000}, {"REF", double(RefWidth)}};
    for (const LogRow& row : Rows)
        list.Items.push_back({{row.Time, false},
                              {{row.Cart, false}, {row.Title, false}, {row.Reference, false}},
                              row.Selected});
    return list;
}

bool LogViewerEngine::PrintInfo(PrinterSurface& printer) {
    PrintList list = ToPrintList();
    const auto selected =
        std::count_if(Rows.begin(), Rows.end(), [](const LogRow& row) { return row.Selected; });
    cPrinting ViewPrint(printer);
    // The whole log prints unless the user chose several rows; the title names the date the
    // list shows.
    const std::string title =
        "Advert Log for " + (DisplayedDate > 0 ? FormatDayNumber(DisplayedDate) : txtStartDate);
    const bool ok = ViewPrint.PrintListView(&list, title, selected > 1);
    if (ok)
        Platform::MsgBox("Your Advert Log has been printed on " + printer.DeviceName(),
                         Platform::vbInformation);
    else
        Platform::MsgBox("There was a problem printing your Advert Log on " + printer.DeviceName() +
                             ViewPrint.GetLastError(),
                         Platform::vbInformation);
    return ok;
}

} // namespace Browsing
