#include "browsing/FindCartEngine.h"

#include "browsing/KeyCodes.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <algorithm>
#include <fstream>

namespace Browsing {

const std::array<ToleranceItem, 6> kTolerances{{{"3 Seconds", 3},
                                                {"5 Seconds", 5},
                                                {"10 Seconds", 10},
                                                {"30 Seconds", 30},
                                                {"1 Minute", 60},
                                                {"5 Minutes", 300}}};

namespace {

constexpr size_t kNotesLimit = 10000;

bool Contains(const std::string& text, const std::string& what) {
    return !text.empty() && VB::InStr(1, text, what, true) > 0;
}

std::string ReadNotes(int32_t cart) {
    bool exists = false;
    const std::string file = Vantor_Cart_Routines::GetCartNotesFileName(cart, exists);
    if (!exists) return {};
    std::ifstream in(file, std::ios::binary);
    std::string text(kNotesLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(kNotesLimit));
    text.resize(static_cast<size_t>(std::max<std::streamsize>(0, in.gcount())));
    return text;
}

int32_t NoCarts() {
    return MainSettings::Settings().Audio.NoCarts;
}

} // namespace

std::array<std::string, 32>& LastSearches() {
    static std::array<std::string, 32> table;
    return table;
}

FindCartEngine::FindCartEngine(QObject* parent) : QObject(parent) {
    stepTimer_.setInterval(0);
    connect(&stepTimer_, &QTimer::timeout, this, [this] {
        if (!Step()) stepTimer_.stop();
    });
}

std::string FindCartEngine::SearchFromStartCaption() const {
    return Direction == 1 ? "Search from the &end of the Audiowall"
                          : "Search from the &start of the Audiowall";
}

void FindCartEngine::Load() {
    SetLimitLines(false);
    SetTimeSearch(false);
    ToleranceIndex = 2;
    Length = "03:00";
    WindowHeight = 2745;
}

void FindCartEngine::Activate() {
    if (WindowReady) return;
    WindowReady = true;
    WindowClosing = StopSearching = CloseOnFindFail = false;
    ListVisible = false;
    WindowHeight = 2745;
    CurrentPage = 0;
    SearchTexts.clear();
    for (int i = 0; i <= 5; ++i)
        if (!LastSearches()[static_cast<size_t>(i)].empty())
            SearchTexts.push_back(LastSearches()[static_cast<size_t>(i)]);
    if (!SearchTexts.empty()) SearchText = SearchTexts.front();
    Direction = 0;
    ProgressVisible = false;
    cmdFindEnabled = true;
    cmdStopEnabled = false;
    FieldsEnabled = true;
    SetLimitLines(false);
    Notes = false;
    SearchFromStart = false;
    emit Changed();
}

void FindCartEngine::SetLimitLines(bool checked) {
    LimitLines = checked;
    if (!checked) Lines = {true, true, true};
}

void FindCartEngine::SetTimeSearch(bool checked) {
    TimeSearch = checked;
}

void FindCartEngine::UpdateRecentTexts(const std::string& text) {
    for (size_t i = 1; i < SearchTexts.size();) {
        if (VB::Trim(SearchTexts[i]) == text)
            SearchTexts.erase(SearchTexts.begin() + static_cast<long>(i));
        else
            ++i;
    }
    if (text.empty() || (!SearchTexts.empty() && VB::Trim(SearchTexts.front()) == text)) return;
    while (SearchTexts.size() >= 6)
        SearchTexts.pop_back();
    SearchTexts.insert(SearchTexts.begin(), text);
}

void FindCartEngine::cmdFind_Click() {
    if (searching_) return;
    text_ = VB::Trim(SearchText);
    UpdateRecentTexts(text_);
    SearchText = text_;
    if (TimeSearch) targetLength_ = GeneralFunctions::ParseDuration(Length, 3);
    Results.clear();
    SelectedResult = -1;
    ListVisible = true;
    WindowHeight = 5130;
    StopSearching = false;
    cmdFindEnabled = false;
    cmdStopEnabled = true;
    FieldsEnabled = false;
    ProgressVisible = true;
    next_ = std::max(1, CartStartNumber);
    step_ = Direction == 1 ? -1 : 1;
    if (SearchFromStart) next_ = Direction == 1 ? NoCarts() : 1;
    ProgressNumber = next_;
    searching_ = true;
    emit ResultsChanged();
    emit Changed();
    stepTimer_.start();
}

bool FindCartEngine::Matches(int32_t cart, FindResultRow& row) const {
    Vantor_Cart_Routines::CartRecord rec;
    Vantor_Cart_Routines::ReadCart(rec, cart);
    if (rec.TotalLength == -1) return false;
    bool found = text_ == "*";
    if (!found && !LimitLines) {
        std::string line;
        Vantor_Cart_Routines::GetCartDescription(rec, true, line);
        found = Contains(line, text_);
    }
    if (!found && LimitLines) {
        const std::string* lines[] = {&rec.Description1, &rec.Description2, &rec.Description3};
        for (size_t i = 0; i < 3 && !found; ++i)
            found = Lines[i] && Contains(*lines[i], text_);
    }
    if (!found && Notes) found = Contains(ReadNotes(cart), text_);
    if (!found) return false;
    if (TimeSearch) {
        const double tolerance = kTolerances[static_cast<size_t>(ToleranceIndex)].Seconds;
        const float low = static_cast<float>(targetLength_ - tolerance - 1);
        const float high = static_cast<float>(targetLength_ + tolerance + 1);
        if (!(low < rec.Extro && rec.Extro < high)) return false;
    }
    row.Text = VB::FormatNumber(cart, "000000");
    row.Key = "c" + std::to_string(cart);
    row.Cells = {std::to_string(cart), VB::Trim(rec.Description1), VB::Trim(rec.Description2),
                 VB::Trim(rec.Description3),
                 VB::Trim(GeneralFunctions::FormatDuration(rec.Extro, 202))};
    return true;
}

bool FindCartEngine::Step() {
    if (!searching_) return false;
    if (next_ < 1 || next_ > NoCarts() || StopSearching) {
        Finish();
        return false;
    }
    if (next_ % 100 == 0) ProgressNumber = next_;
    FindResultRow row;
    if (Matches(next_, row)) AddRow(std::move(row));
    next_ += step_;
    return true;
}

void FindCartEngine::RunToEnd() {
    while (Step()) {
    }
    stepTimer_.stop();
}

void FindCartEngine::AddRow(FindResultRow row) {
    Results.push_back(std::move(row));
    if (SortColumn >= 0) SortRows();
    emit ResultsChanged();
}

void FindCartEngine::SortRows() {
    const FindResultRow* selected =
        SelectedResult >= 0 ? &Results[static_cast<size_t>(SelectedResult)] : nullptr;
    const std::string selectedKey = selected ? selected->Key : std::string();
    const int column = SortColumn;
    const bool descending = SortDescending;
    std::stable_sort(Results.begin(), Results.end(),
                     [column, descending](const FindResultRow& a, const FindResultRow& b) {
                         const std::string x = VB::LCase(a.Column(column));
                         const std::string y = VB::LCase(b.Column(column));
                         return descending ? y < x : x < y;
                     });
    if (selected)
        for (size_t i = 0; i < Results.size(); ++i)
            if (Results[i].Key == selectedKey) SelectedResult = static_cast<int>(i);
}

void FindCartEngine::ColumnClick(int column) {
    // "Cart" sorts by the hidden six-digit text, so numbers sort in numeric order.
    const int sortBy = column == 1 ? 0 : column;
    if (SortColumn == sortBy) SortDescending = !SortDescending;
    SortColumn = sortBy;
    SortRows();
    emit ResultsChanged();
}

void FindCartEngine::Finish() {
    searching_ = false;
    if (WindowClosing) return;
    if (Shown) {
        ProgressVisible = false;
        cmdFindEnabled = true;
        cmdStopEnabled = false;
        FieldsEnabled = true;
    }
    if (!StopSearching) {
        if (Results.empty() && CloseOnFindFail) {
            Platform::MsgBox(
                "There were no further items found on the Audiowall that matched your search",
                Platform::vbInformation);
            CloseWith(0, true);
            return;
        }
        if (Results.empty()) {
            FindResultRow none;
            none.Text = "0";
            none.Key = "c0";
            none.Cells[1] = "No carts found.";
            Results.push_back(none);
        } else {
            if (SelectedResult < 0) SelectedResult = 0;
            emit FocusList();
        }
    }
    emit ResultsChanged();
    emit Changed();
}

void FindCartEngine::StoreLastSearches() {
    auto& table = LastSearches();
    for (size_t i = 0; i < SearchTexts.size() && i < table.size(); ++i)
        if (!VB::Trim(SearchTexts[i]).empty()) table[i] = SearchTexts[i];
    for (size_t i = SearchTexts.size(); i <= 5; ++i)
        table[i].clear();
}

void FindCartEngine::CloseWith(int32_t cart, bool stop) {
    WindowClosing = true;
    if (stop) StopSearching = true;
    WindowReady = false;
    StoreLastSearches();
    if (QObject* receiver = JumpRequestForm.data())
        QMetaObject::invokeMethod(receiver, "JumpToCart", Q_ARG(int32_t, cart));
    JumpRequestForm = nullptr;
    Shown = false;
    emit HideRequested();
}

void FindCartEngine::Pick() {
    if (SelectedResult < 0 || SelectedResult >= static_cast<int>(Results.size())) return;
    StopSearching = true;
    const FindResultRow& row = Results[static_cast<size_t>(SelectedResult)];
    if (VB::Val(row.Text) <= 0) return;
    CloseWith(static_cast<int32_t>(VB::Val(row.Key.substr(1))), true);
}

void FindCartEngine::cmdStop_Click() {
    StopSearching = true;
    if (CloseOnFindFail) CloseWith(0, true);
}

void FindCartEngine::Escape() {
    if (cmdStopEnabled)
        cmdStop_Click();
    else
        CloseWith(0, false);
}

void FindCartEngine::CloseFromTitleBar() {
    CloseWith(0, true);
}

bool FindCartEngine::KeyDown(int16_t keyCode, int16_t shift) {
    if (keyCode == kKeyTab && (shift & 2)) {
        CurrentPage = 1 - CurrentPage;
        emit Changed();
        return true;
    }
    int32_t none = 0;
    if (Audio_Player_FN::HandlePlayerKey(keyCode, shift, none) == 0) return true;
    if (keyCode == 'Q' && (shift & 2)) return true;
    if (keyCode == kKeyEscape) {
        Escape();
        return true;
    }
    return false;
}

void FindCartEngine::ListPress(float x, float y) {
    if (SelectedResult < 0) return;
    DragStartX = x;
    DragStartY = y;
}

bool FindCartEngine::ListMove(float x, float y) {
    if (DragStartX < 0 || SelectedResult < 0) return false;
    if (GeneralFunctions::PointNear(x, y, DragStartX, DragStartY, 30)) return false;
    const FindResultRow& row = Results[static_cast<size_t>(SelectedResult)];
    if (VB::Val(row.Text) <= 0) return false;
    DragTag = std::to_string(static_cast<int32_t>(VB::Val(row.Text)));
    DragStartX = DragStartY = -1;
    return true;
}

void FindCartEngine::ListRelease() {
    DragStartX = DragStartY = -1;
}

} // namespace Browsing
