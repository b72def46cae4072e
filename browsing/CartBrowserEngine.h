#pragma once
// The cart browser's state and procedures without widgets: the rows and their layout, drawing
// from the cart store, selection, scrolling, jumping, picking, keys and the drag protocol.
// Distances are twips. The window mirrors Rows and the jump strip and forwards input.
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Browsing {

constexpr int32_t kSelectedNumberColour = 0x00C00000;
constexpr int32_t kButtonFaceColour = static_cast<int32_t>(0x8000000F);
constexpr int32_t kCartNumberWidth = 615;

struct BrowserRow {
    bool Visible = false;
    std::string NumberCaption;
    int32_t NumberBackColor = kButtonFaceColour;
    std::string Caption;
    std::string Tag; // the cart number when the cart has audio, else empty
    int32_t BackColor = 0;
    int32_t ForeColor = 0;
};

// Which find launcher asked for the search window.
enum class FindKind { Find, FindNext, FindBack };

class CartBrowserEngine : public QObject {
    Q_OBJECT
public:
    explicit CartBrowserEngine(QObject* parent = nullptr);

    // ---- Public variables.
    bool AllowDragging = false;
    int32_t LeftPosition = 0;
    int32_t TopPosition = 0;
    int32_t PanelHeight = 315;
    bool ShowChildFormsModally = false;
    // Told of a pick by name: "UpdateDisplay"(int32_t).
    QPointer<QObject> UpdateRequestForm;
    bool ShowDescription = false;
    bool PlayOnDblClick = false;
    // The window's Tag: a cart to show next time in, the picked cart out.
    std::string Tag;

    // ---- State the window mirrors (read only outside the engine).
    int16_t RowCount = 0;
    float DragStartX = -1, DragStartY = -1;
    bool DragArmed = false;
    float PreviousSelectedRow = -1;
    float SelectedRow = 1;
    float TopCartOffset = 0;
    bool PositionApplied = false;
    bool DoubleView = false;
    std::string txtCartNumber;
    bool cmdJumpCartEnabled = false;
    std::vector<BrowserRow> Rows; // row r is Rows[r - 1]; rows are never removed
    // Whether the window is shown, and the active window.
    bool Shown = false;
    bool Active = false;
    // Width of the rows' area (pnlCartLabels) as last laid out.
    int32_t LabelsWidth = 3000;
    // Text width on the browsing surface, for fitting captions (twips).
    std::function<double(const std::string&)> TextWidth;

    int32_t SelectedCart() const;
    int32_t NoCarts() const;

    // ---- Lifecycle.
    // Screen and window widths, kept up to date by the window.
    int32_t ScreenWidth = 0;
    int32_t WindowWidth = 3660;
    void Load();
    // The activation handling; true when the stored position is to be applied.
    bool Activate();

    // ---- Layout and drawing.
    void LayoutRows(int32_t labelsWidth, int32_t labelsHeight);
    void RedrawRows();
    void ShowSelection();
    // Double view ticked or not; the window lays out again afterwards.
    void SetDoubleView(bool ticked);

    // ---- Scrolling and jumping.
    void OneCartUp();
    void OneCartDown();
    void PageUp();
    void PageDown();
    Q_INVOKABLE void JumpToCart(int32_t CrtNo);

    // ---- Commands.
    Q_INVOKABLE void ReturnCartNumber(int32_t CrtNo);
    void PickRow(int16_t row);
    void JumpCommand();
    void CancelCommand();
    void SetCartNumberText(const std::string& text);
    // Key-down: true when swallowed. Key-press: true when swallowed.
    bool KeyDown(int16_t keyCode, int16_t shift);
    bool KeyPress(char character);
    void Audition();

    // ---- Mouse on the rows (button 1 left, 2 right).
    void NumberPress(int16_t row);
    void RowPress(int16_t row, int button, float x, float y);
    // True when a drag of the row is to begin now.
    bool RowMove(int16_t row, int buttons, float x, float y, float twipsPerPixel);
    void RowRelease(int16_t row, int button);
    void RowDoubleClick(int16_t row);
    // The drag that RowMove began has ended (dropped or not).
    void DragFinished();

signals:
    void RowsChanged();
    void SelectionChanged();
    void HideRequested();
    void FocusCartNumber();
    void FindRequested(FindKind kind, int32_t startCart);
    void ReportRequested(int32_t cart);
    void NotesRequested(const std::string& fileName);

private:
    void FillRow(BrowserRow& row, int32_t cart);
    void HideRow(BrowserRow& row);
    bool RowValid(int16_t row) const { return row >= 1 && row <= RowCount; }
    bool dragBegun_ = false;
};

} // namespace Browsing
