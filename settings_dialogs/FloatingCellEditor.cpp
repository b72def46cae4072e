#include "settings_dialogs/FloatingCellEditor.h"

#include "settings_dialogs/DialogConventions.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTableWidget>

namespace SettingsDialogs {

FloatingCellEditor::FloatingCellEditor(QTableWidget* grid, int maxLength, bool digitsOnly,
                                       std::function<void(int, int, const QString&)> changed)
    : QLineEdit(grid->viewport()), grid_(grid), changed_(std::move(changed)) {
    setMaxLength(maxLength);
    setFrame(false);
    hide();
    if (digitsOnly) DigitsOnly(this);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!loading_ && row_ >= 0) changed_(row_, column_, text);
    });
    auto hideOnScroll = [this] { Close(); };
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, hideOnScroll);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, hideOnScroll);
}

void FloatingCellEditor::Open(int row, int column) {
    row_ = row;
    column_ = column;
    QTableWidgetItem* item = grid_->item(row, column);
    loading_ = true;
    setText(item ? item->text() : QString());
    loading_ = false;
    setGeometry(grid_->visualItemRect(item).isValid()
                    ? grid_->visualItemRect(item)
                    : QRect(grid_->columnViewportPosition(column), grid_->rowViewportPosition(row),
                            grid_->columnWidth(column), grid_->rowHeight(row)));
    show();
    setFocus();
    selectAll();
}

void FloatingCellEditor::Close() {
    if (!isVisible()) return;
    hide();
    row_ = column_ = -1;
    grid_->setFocus();
}

bool FloatingCellEditor::event(QEvent* event) {
    // Enter and Esc belong to the editor while it is open, not to the window's buttons.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (event->type() == QEvent::KeyPress) Close();
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void FloatingCellEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    hide();
}

} // namespace SettingsDialogs
