#include "hardware/frmHardwareSettings.h"
#include "platform/Screen.h"
#include "platform/Text1252.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace HardwareSettings {

namespace {

constexpr int kDescriptionTypedLimit = 20;
const int kColumnTwips[HardwareCatalogue::kGridColumns] = {400,  800,  200, 2000, 1860,
                                                           2100, 2100, 0,   0};
using Platform::kTwipsPerPixel;

QString Text(const std::string& bytes) {
    return Platform::FromWindows1252(bytes);
}

// The line grid: reports the row pressed, the row released and the column.
class LineGrid : public QTableWidget {
public:
    std::function<void(int row, int rowSel, int col)> released;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        pressedRow_ = rowAt(static_cast<int>(event->position().y()));
        pressedCol_ = columnAt(static_cast<int>(event->position().x()));
        QTableWidget::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTableWidget::mouseReleaseEvent(event);
        int row = rowAt(static_cast<int>(event->position().y()));
        if (row < 0) row = pressedRow_;
        if (pressedRow_ >= 0 && pressedCol_ >= 0 && released)
            released(pressedRow_ + 1, row + 1, pressedCol_);
    }

private:
    int pressedRow_ = -1, pressedCol_ = -1;
};

} // namespace

frmHardwareSettings::frmHardwareSettings(QWidget* parent)
    : QDialog(parent), tabs_(new QTabWidget(this)) {
    setWindowTitle("Hardware Settings");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    for (int card = 1; card <= kPages; ++card)
        tabs_->addTab(BuildPage(card), QString("Hardware Card %1").arg(card));
    auto* lblDescription =
        new QLabel("L = Active Low: flips the logic of the line, so a line that is actually on is "
                   "registered as off.",
                   this);
    lblDescription->setWordWrap(true);
    layout->addWidget(lblDescription);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto [text, action] :
         {std::pair<const char*, int>{"Apply", 0}, {"Cancel", 1}, {"OK", 2}}) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, action = action] {
            if (action == 0) engine_.cmdApply_Click();
            if (action == 1 || (action == 2 && engine_.cmdOK_Click())) {
                close();
                return;
            }
            tabs_->setCurrentIndex(engine_.CurrentTab);
            for (int card = 1; card <= kPages; ++card)
                ShowPage(card);
        });
    }
    layout->addLayout(buttons);
    connect(tabs_, &QTabWidget::currentChanged, this,
            [this](int tab) { engine_.CurrentTab = tab; });
    resize(760, 520);
}

QWidget* frmHardwareSettings::BuildPage(int Index) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    PageWidgets& w = Widgets(Index);
    w.CardTypeList = new QComboBox(page);
    for (const ListEntry& entry : CardTypeEntries())
        w.CardTypeList->addItem(Text(entry.text), entry.code);
    w.PortAddressL = new QLabel(page);
    w.PortAddressT = new QLineEdit(page);
    w.PortAddressT->setMaxLength(5);
    w.ComPortlist = new QComboBox(page);
    for (const char* port : {"1", "2", "3", "4"})
        w.ComPortlist->addItem(port);
    grid->addWidget(new QLabel("Type:", page), 0, 0);
    grid->addWidget(w.CardTypeList, 0, 1);
    grid->addWidget(w.PortAddressL, 0, 2);
    grid->addWidget(w.PortAddressT, 0, 3);
    grid->addWidget(new QLabel("Attached to:", page), 0, 4);
    grid->addWidget(w.ComPortlist, 0, 5);
    w.lblNotice = new QLabel(page);
    w.lblNotice->setWordWrap(true);
    w.lblNotice->hide();
    grid->addWidget(w.lblNotice, 1, 0, 1, 6);

    auto* table = new LineGrid;
    table->setParent(page);
    w.gridUsage = table;
    table->setColumnCount(HardwareCatalogue::kGridColumns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->verticalHeader()->setVisible(false);
    for (int c = 0; c < HardwareCatalogue::kGridColumns; ++c) {
        table->setColumnWidth(c, kColumnTwips[c] / kTwipsPerPixel);
        table->setColumnHidden(c, kColumnTwips[c] == 0);
    }
    grid->addWidget(table, 2, 0, 1, 6);
    table->released = [this, Index](int row, int rowSel, int col) {
        ClickGrid(Index, row, rowSel, col);
    };

    // The floating editors share the grid's container.
    w.ListOptions = new QComboBox(page);
    w.txtDescription = new QLineEdit(page);
    w.txtInfo = new QLineEdit(page);
    for (QWidget* editor :
         {static_cast<QWidget*>(w.ListOptions), static_cast<QWidget*>(w.txtDescription),
          static_cast<QWidget*>(w.txtInfo)})
        editor->hide();

    connect(w.CardTypeList, &QComboBox::activated, this, [this, Index](int item) {
        engine_.SetCardType(Index, item);
        ShowPage(Index);
    });
    connect(w.PortAddressT, &QLineEdit::textEdited, this, [this, Index](const QString& text) {
        engine_.PortAddressT_Change(Index, Platform::ToWindows1252(text));
        ShowPage(Index);
    });
    connect(w.ComPortlist, &QComboBox::activated, this,
            [this, Index](int item) { engine_.SetPort(Index, item); });
    connect(w.ListOptions, &QComboBox::activated, this, [this, Index](int item) {
        engine_.ChooseOption(Index, item);
        ShowPage(Index);
        Widgets(Index).gridUsage->setFocus();
    });
    connect(w.txtDescription, &QLineEdit::textEdited, this, [this, Index](const QString& text) {
        const std::string typed = Platform::ToWindows1252(text);
        const Page& p = engine_.page(Index);
        if (typed.size() > kDescriptionTypedLimit && typed.size() > p.txtDescription.text.size()) {
            Widgets(Index).txtDescription->setText(Text(p.txtDescription.text));
            return;
        }
        engine_.txtDescription_Change(Index, typed);
        ShowPage(Index);
    });
    connect(w.txtInfo, &QLineEdit::textEdited, this, [this, Index](const QString& text) {
        engine_.txtInfo_Change(Index, Platform::ToWindows1252(text));
        ShowPage(Index);
    });
    for (QLineEdit* edit : {w.txtDescription, w.txtInfo})
        connect(edit, &QLineEdit::returnPressed, this, [this, Index] {
            engine_.HideEditors(Index);
            ShowPage(Index);
            Widgets(Index).gridUsage->setFocus();
        });
    return page;
}

void frmHardwareSettings::Form_Load() {
    engine_.Form_Load();
    tabs_->setCurrentIndex(0);
    for (int card = 1; card <= kPages; ++card)
        ShowPage(card);
}

void frmHardwareSettings::ClickGrid(int Index, int Row, int RowSel, int Col) {
    Page& p = engine_.page(Index);
    p.Row = Row;
    p.RowSel = RowSel;
    p.Col = Col;
    p.ColSel = Col;
    engine_.gridUsage_MouseUp(Index);
    ShowPage(Index);
}

void frmHardwareSettings::PlaceEditor(int Index, QWidget* editor) {
    const Page& p = engine_.page(Index);
    QTableWidget* grid = Widgets(Index).gridUsage;
    QTableWidgetItem* item = grid->item(p.editorRow - 1, p.editorCol);
    if (!item) return;
    QRect cell = grid->visualItemRect(item);
    cell.moveTopLeft(grid->viewport()->mapTo(grid->parentWidget(), cell.topLeft()));
    editor->setGeometry(cell.left(), cell.top(), cell.width(),
                        qobject_cast<QComboBox*>(editor) ? editor->sizeHint().height()
                                                         : cell.height());
    editor->raise();
}

void frmHardwareSettings::ShowPage(int Index) {
    const Page& p = engine_.page(Index);
    PageWidgets& w = Widgets(Index);
    w.CardTypeList->setCurrentIndex(p.typeIndex);
    w.PortAddressL->setText(Text(p.portAddressCaption));
    if (w.PortAddressT->text() != Text(p.portAddress)) w.PortAddressT->setText(Text(p.portAddress));
    w.PortAddressT->setEnabled(p.addressEnabled);
    w.PortAddressL->setEnabled(p.addressEnabled);
    w.ComPortlist->setCurrentIndex(p.portIndex);
    w.ComPortlist->setEnabled(p.portListEnabled);
    w.gridUsage->setEnabled(!p.gridGreyed);
    w.lblNotice->setText(Text(p.notice));
    w.lblNotice->setVisible(!p.notice.empty());

    QTableWidget* grid = w.gridUsage;
    grid->setRowCount(p.gridRows - 1);
    for (int c = 0; c < HardwareCatalogue::kGridColumns; ++c)
        grid->setHorizontalHeaderItem(
            c, new QTableWidgetItem(Text(p.grid[0][static_cast<size_t>(c)])));
    for (int r = 1; r < p.gridRows; ++r)
        for (int c = 0; c < HardwareCatalogue::kGridColumns; ++c) {
            const QString text = Text(p.grid[static_cast<size_t>(r)][static_cast<size_t>(c)]);
            QTableWidgetItem* item = grid->item(r - 1, c);
            if (!item) grid->setItem(r - 1, c, item = new QTableWidgetItem);
            if (item->text() != text) item->setText(text);
        }

    w.ListOptions->blockSignals(true);
    w.ListOptions->clear();
    for (const ListEntry& entry : p.ListOptions.entries)
        w.ListOptions->addItem(Text(entry.text), entry.code);
    w.ListOptions->setCurrentIndex(p.ListOptions.selected);
    w.ListOptions->blockSignals(false);
    w.ListOptions->setVisible(p.ListOptions.visible);
    if (p.ListOptions.visible) {
        PlaceEditor(Index, w.ListOptions);
        w.ListOptions->setFocus();
        if (p.ListOptions.dropped && isVisible()) w.ListOptions->showPopup();
    }
    for (auto [edit, editor] :
         {std::pair{w.txtDescription, &p.txtDescription}, std::pair{w.txtInfo, &p.txtInfo}}) {
        if (edit->text() != Text(editor->text)) edit->setText(Text(editor->text));
        edit->setVisible(editor->visible);
        if (!editor->visible) continue;
        PlaceEditor(Index, edit);
        edit->setFocus();
        if (edit == w.txtDescription)
            edit->setSelection(0, kDescriptionTypedLimit);
        else
            edit->selectAll();
    }
}

void frmHardwareSettings::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) return QDialog::keyPressEvent(event);
    const int card = tabs_->currentIndex() + 1;
    if (engine_.EscapeEditor(card)) {
        ShowPage(card);
        Widgets(card).gridUsage->setFocus();
        return;
    }
    close();
}

void ShowHardwareSettings(QWidget* parent) {
    auto* dialog = new frmHardwareSettings(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->Form_Load();
    dialog->show();
}

} // namespace HardwareSettings
