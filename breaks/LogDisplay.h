#pragma once
// The split window's advert-log display without its widget: the rows drawn from a start
// position (only the split's own chain), each break's total, the frame round the cued break,
// the file position of each advert row, the insert marker and the scroll buttons' repeat.
#include <QColor>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class SplitEngine;

// One text of a row; x in twips: its left edge, or its right end when right-aligned.
struct LogText {
    std::string text;
    int32_t x = 0;
    bool rightAligned = false;
    QColor colour;
};

// The frame round the cued break: from 10 twips below the top of its first row to the bottom
// of its total row.
struct LogFrame {
    int firstRow = 0, lastRow = 0;
    QColor colour;
};

class LogDisplay : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 50;
    static inline const QColor kPlayingColour{0, 255, 0};
    static inline const QColor kNotCuedColour{255, 0, 0};
    static inline const QColor kCuedColour{255, 255, 0};

    explicit LogDisplay(SplitEngine& engine, QObject* parent = nullptr);

    int32_t DisplayedBreakPos = 0;
    float DisplayedBreakTime = -1;
    std::array<int32_t, kMaxRows + 1> LogLinePos{}; // rows 1..50
    int16_t LogLineHeight = 240;                    // twips
    int16_t DropMarkerRow = 0;
    bool MarkerShown = false;               // drawn only between two advert rows
    std::vector<std::vector<LogText>> Rows; // Rows[0] is row 1
    std::optional<LogFrame> Frame;
    std::string Caption;

    // Redraws for a display widthTwips wide holding visibleRows rows.
    void UpdateLog(int32_t widthTwips, int visibleRows);
    void UpdateLog() { UpdateLog(width_, visibleRows_); }
    // Takes the cued break's position when the engine has cued another break since.
    void FollowEngine();
    // After an edit at FilePos that grew the log by Grown bytes: drawing starts again where it
    // started before (shown), moved with the text when the edit lay above it, and a move of
    // the cued break by the edit is not followed.
    void KeepPlace(int32_t Shown, int32_t FilePos, int32_t Grown);
    // The row under a mouse position (1-based); 0 outside rows 1..50.
    int RowAt(int32_t yTwips) const;
    bool RowHoldsAdvert(int row) const {
        return row >= 1 && row <= kMaxRows && LogLinePos[row] > 0;
    }

    // Insert marker while dragging over row (state 1: the drag left). True when it changed.
    bool DragOver(int row, int state);
    // The row a drop on the given row inserts before (its file position), 0 for none.
    int32_t DropOnRow(int row);
    // The cart a dragged control stands for: by its name, its cart property or its tag.
    static int32_t DroppedCart(const std::string& sourceName, int32_t cartNumber,
                               const std::string& tag);

    // The scroll buttons.
    void sftDown_Click(int16_t argument);
    void sftUp_Click(int16_t argument);
    void ScrollPress(bool down);
    void ScrollRelease(bool down);
    void TimerScroll_Timer();
    QTimer TimerScroll;
    std::string sftUpTag, sftDownTag;

signals:
    void changed();

private:
    SplitEngine& engine_;
    int32_t width_ = 6000;
    int visibleRows_ = kMaxRows;
    int32_t followedPos_ = -1;
};
