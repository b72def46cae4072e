#pragma once
// A one-line editor floated over a grid cell: it opens over the clicked cell, writes every
// change through, and Enter, Esc, losing the focus or scrolling the grid close it. Esc closes
// only the editor, never the window.
#include <QLineEdit>
#include <functional>

class QTableWidget;

namespace SettingsDialogs {

class FloatingCellEditor : public QLineEdit {
    Q_OBJECT
public:
    // changed(row, column, text) runs on every change of the text while the editor is open.
    FloatingCellEditor(QTableWidget* grid, int maxLength, bool digitsOnly,
                       std::function<void(int, int, const QString&)> changed);
    // Opens over the cell with its text, selected and focused.
    void Open(int row, int column);
    void Close();
    int Row() const { return row_; }
    int Column() const { return column_; }

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QTableWidget* grid_;
    std::function<void(int, int, const QString&)> changed_;
    int row_ = -1;
    int column_ = -1;
    bool loading_ = false;
};

} // namespace SettingsDialogs
