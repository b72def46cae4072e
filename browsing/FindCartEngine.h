#pragma once
// The cart search without widgets: the search fields, the recent texts, the search itself in
// steps of one cart (run from the event loop, or to the end by tests), the result rows with
// their sorting, picking and the ways out.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Browsing {

// The recent search texts of the run (slot 0 newest; the window uses slots 0 to 5).
std::array<std::string, 32>& LastSearches();

// One row of the result list: the hidden six-digit text and the five shown cells.
struct FindResultRow {
    std::string Text;                 // "000123", "0" for the no-result row
    std::string Key;                  // "c123"
    std::array<std::string, 5> Cells; // Cart, Line 1, Line 2, Line 3, Length
    // Column c: 0 the hidden text, 1..5 the cells.
    const std::string& Column(int c) const {
        return c == 0 ? Text : Cells[static_cast<size_t>(c - 1)];
    }
};

struct ToleranceItem {
    const char* Caption;
    int32_t Seconds;
};
extern const std::array<ToleranceItem, 6> kTolerances;

class FindCartEngine : public QObject {
    Q_OBJECT
public:
    explicit FindCartEngine(QObject* parent = nullptr);

    // ---- Public variables.
    int32_t CartStartNumber = 1;
    bool CloseOnFindFail = false;
    bool NoAnimation = true;
    // Receives the chosen cart by name: "JumpToCart"(int32_t).
    QPointer<QObject> JumpRequestForm;

    // ---- Fields (the window mirrors them).
    std::vector<std::string> SearchTexts; // the drop-down of recent texts
    std::string SearchText;               // the text box of the combo
    int Direction = 0;                    // 0 Forwards, 1 Backwards
    bool SearchFromStart = false;
    bool Notes = false;
    bool LimitLines = false;
    std::array<bool, 3> Lines{true, true, true};
    bool TimeSearch = false;
    std::string Length = "03:00";
    int ToleranceIndex = 2;
    int CurrentPage = 0; // 0 Basic, 1 Advanced

    // ---- State.
    bool StopSearching = false;
    bool WindowReady = false;
    bool WindowClosing = false;
    bool Shown = false;
    bool FieldsEnabled = true;
    bool cmdFindEnabled = true;
    bool cmdStopEnabled = false;
    bool ListVisible = false;
    int32_t WindowHeight = 2745;
    bool ProgressVisible = false;
    int32_t ProgressNumber = 0;
    std::vector<FindResultRow> Results;
    int SelectedResult = -1;
    int SortColumn = -1; // -1 unsorted
    bool SortDescending = false;
    bool Searching() const { return searching_; }
    std::string SearchFromStartCaption() const;
    // The dependent states of the two rule boxes.
    bool LineBoxesEnabled() const { return FieldsEnabled && LimitLines; }
    bool TimeFieldsEnabled() const { return FieldsEnabled && TimeSearch; }

    // ---- Lifecycle and commands.
    void Load();
    void Activate();
    void cmdFind_Click();
    // One cart of the running search; false once it has ended.
    bool Step();
    // Runs the search to its end without the event loop.
    void RunToEnd();
    void cmdStop_Click();
    void Pick();
    void Escape();
    // A close from the title bar: hides, and a running search stops at its next step.
    void CloseFromTitleBar();
    void ColumnClick(int column);
    void SetLimitLines(bool checked);
    void SetTimeSearch(bool checked);
    void StoreLastSearches();
    // Keys seen before the controls; true when consumed.
    bool KeyDown(int16_t keyCode, int16_t shift);
    // The drag from the result list: true when a drag of the selected row starts.
    void ListPress(float x, float y);
    bool ListMove(float x, float y);
    void ListRelease();
    float DragStartX = -1, DragStartY = -1;
    std::string DragTag;

signals:
    void Changed();
    void ResultsChanged();
    void HideRequested();
    void FocusList();

private:
    void UpdateRecentTexts(const std::string& text);
    bool Matches(int32_t cart, FindResultRow& row) const;
    void AddRow(FindResultRow row);
    void Finish();
    void CloseWith(int32_t cart, bool stop);
    void SortRows();

    bool searching_ = false;
    int32_t next_ = 0;
    int32_t step_ = 1;
    double targetLength_ = 0;
    std::string text_;
    QTimer stepTimer_;
};

} // namespace Browsing
