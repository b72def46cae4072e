#include "settings_dialogs/frmCartGroups.h"

#include "breaks/SplitLinks.h"
#include "core/MainSettings.h"
#include "main_window/CartGroupButtons.h"
#include "main_window/CartGroupStartup.h"
#include "platform/VB.h"
#include "settings_dialogs/FloatingCellEditor.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace SettingsDialogs {
namespace {

using E = CartGroupsEngine;

bool StartsWith(const std::string& text, char c) {
    return !text.empty() && text.front() == c;
}

std::string YesNo(bool yes) {
    return yes ? "Yes" : "No";
}

std::string SelectionText(bool random) {
    return random ? "Random Choice" : "Next In Group";
}
std::string PlayoutText(bool instantly) {
    return instantly ? "Play Instantly" : "Add to Play List";
}

} // namespace

CartGroupsEngine::CartGroupsEngine() {
    const Breaks::CartGroupsState& state = Breaks::CartGroupState();
    for (int n = 1; n <= Breaks::kCartGroupCount; ++n) {
        const Breaks::CartGroupRecord& g = state.CartGroups[static_cast<size_t>(n - 1)];
        auto& row = cells_[static_cast<size_t>(n)];
        row[0] = std::to_string(n);
        row[kMute] = YesNo(g.Mute != 0);
        row[kSelection] = SelectionText(g.SelectionMode != 0);
        row[kPlayout] = PlayoutText(g.PlayoutMode != 0);
        row[kAdCmd] = YesNo(g.CheckAgainstAds != 0);
        row[kDescription] = g.Description;
        for (int16_t c = 1; c <= Breaks::kCartGroupSlots; ++c)
            row[static_cast<size_t>(kDescription + c)] =
                g.CartNumber(c) >= 1 ? std::to_string(g.CartNumber(c)) : "";
    }
    captions_ = state.CartGroupPageDescription;
}

const std::string& CartGroupsEngine::Cell(int row, int column) const {
    return cells_.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
}

int32_t CartGroupsEngine::CellColour(int row, int column) const {
    const std::string& text = Cell(row, column);
    if (column == kSelection) return StartsWith(text, 'N') ? kGreen : kYellow;
    if (column == kPlayout) return StartsWith(text, 'P') ? kGreen : kYellow;
    return kNoColour;
}

CartGroupsEngine::Editor CartGroupsEngine::ClickCell(int row, int column) {
    if (row < 1 || row > Breaks::kCartGroupCount) return Editor::None;
    std::string& cell = cells_[static_cast<size_t>(row)].at(static_cast<size_t>(column));
    switch (column) {
    case kMute:
        cell = YesNo(cell != "Yes");
        break;
    case kSelection:
        cell = SelectionText(StartsWith(cell, 'N'));
        break;
    case kPlayout:
        cell = PlayoutText(!StartsWith(cell, 'P'));
        break;
    case kAdCmd:
        cell = YesNo(VB::LCase(cell) != "yes");
        break;
    case kDescription:
        return Editor::Description;
    default:
        return column >= kFirstCart && column < kColumns ? Editor::CartNumber : Editor::None;
    }
    emit Changed();
    return Editor::None;
}

void CartGroupsEngine::SetCellFromEditor(int row, int column, const std::string& text) {
    std::string& cell = cells_.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
    cell = column == kDescription || VB::Val(text) > 0 ? text : "";
    emit Changed();
}

void CartGroupsEngine::SetPageCaption(int page, const std::string& text) {
    captions_.at(static_cast<size_t>(page - 1)) = text;
}

bool CartGroupsEngine::Ok(SplitSender* sender) {
    Breaks::CartGroupsState& state = Breaks::CartGroupState();
    state.CartGroupPageDescription = captions_;
    for (int n = 1; n <= Breaks::kCartGroupCount; ++n) {
        const auto& row = cells_[static_cast<size_t>(n)];
        Breaks::CartGroupRecord& g = state.CartGroups[static_cast<size_t>(n - 1)];
        g.Mute = row[kMute] == "Yes" ? -1 : 0;
        g.SelectionMode = StartsWith(row[kSelection], 'N') ? 0 : 1;
        g.PlayoutMode = StartsWith(row[kPlayout], 'P') ? 1 : 0;
        g.CheckAgainstAds = VB::LCase(row[kAdCmd]) == "yes" ? 1 : 0;
        g.Description = row[kDescription];
        g.NumberOfCarts = 0;
        for (int16_t c = 1; c <= Breaks::kCartGroupSlots; ++c) {
            double cart = VB::RoundHalfEven(VB::Val(row[static_cast<size_t>(kDescription + c)]));
            g.CartNumber(c) = static_cast<int32_t>(cart);
            if (g.CartNumber(c) != 0) g.NumberOfCarts = c;
        }
    }
    const std::string& ini = MainSettings::Settings().MainIniFile;
    const GeneralFunctions::SaveReport saved = ZEL_Specific::SaveCartGroups(ini);
    // The groups in use are the edited ones, saved or not.
    if (sender) sender->SendMessageToVantor("CARTGROUPS_EDITED");
    return GeneralFunctions::ConfirmSave(saved, "frmCartGroups", ini);
}

frmCartGroups::frmCartGroups(SplitSender* sender, QWidget* parent) : SettingsForm(parent) {
    setWindowTitle("Cart Groups");
    auto* top = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tbsOptions");
    top->addWidget(tabs_);

    grid_ = new QTableWidget(Breaks::kCartGroupCount, E::kColumns, this);
    grid_->setObjectName("grdGroups");
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->hide();
    grid_->setWordWrap(false);
    QStringList headers = {
        "Group", "Mute?", "Selection Mode", "Playout Mode", "Ad Cmd?", "", "", "",
        "",      "",      "Description"};
    for (int c = 1; c <= Breaks::kCartGroupSlots; ++c)
        headers << QString("Cart %1").arg(c);
    grid_->setHorizontalHeaderLabels(headers);
    // Widths in twips of the classic grid, with room for this platform's larger font.
    const int twips[E::kColumns] = {600, 600, 1300, 1300, 750, 0, 0, 0, 0, 0, 1300};
    for (int c = 0; c < E::kColumns; ++c) {
        int width = c > E::kDescription ? 600 : twips[c];
        grid_->setColumnWidth(c, width / 12);
        grid_->setColumnHidden(c, width == 0);
    }
    for (int r = 0; r < Breaks::kCartGroupCount; ++r)
        for (int c = 0; c < E::kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (c != E::kDescription) item->setTextAlignment(Qt::AlignCenter);
            grid_->setItem(r, c, item);
        }
    auto* groupsTab = new QWidget(this);
    (new QVBoxLayout(groupsTab))->addWidget(grid_);
    tabs_->addTab(groupsTab, "Cart Groups");
    auto writeThrough = [this](int row, int column, const QString& text) {
        engine_.SetCellFromEditor(row + 1, column, Typed(text));
    };
    txtCartNo_ = new FloatingCellEditor(grid_, 5, true, writeThrough);
    txtCartNo_->setObjectName("txtCartNo");
    txtDescription_ = new FloatingCellEditor(grid_, 50, false, writeThrough);
    txtDescription_->setObjectName("txtDescription");
    connect(grid_, &QTableWidget::cellClicked, this, &frmCartGroups::Clicked);

    auto* rangesTab = new QWidget(this);
    auto* ranges = new QFormLayout(rangesTab);
    for (int i = 1; i <= Breaks::kCartGroupPages; ++i) {
        auto* box = new QLineEdit(Shown(engine_.PageCaption(i)), this);
        box->setObjectName(QString("txtCartGroupDescriptions%1").arg(i));
        SelectAllOnFocus(box);
        connect(box, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { engine_.SetPageCaption(i, Typed(text)); });
        captions_[static_cast<size_t>(i - 1)] = box;
        ranges->addRow(
            QString("Cart Groups %1 to %2 Description:").arg((i - 1) * 20 + 1).arg(i * 20), box);
    }
    tabs_->addTab(rangesTab, "Group Range Descriptions");

    AddButtonRow(top, [this, sender] {
        const bool saved = engine_.Ok(sender);
        if (MainWindow::CartGroupButtons* panel = MainWindow::CartGroupButtonsIfLoaded())
            panel->UpdateCartGroups();
        return saved;
    });
    connect(&engine_, &CartGroupsEngine::Changed, this, &frmCartGroups::Mirror);
    Mirror();
    grid_->setCurrentCell(0, 1);
    setFixedSize(QSize(900, 520).expandedTo(minimumSizeHint()));
}

void frmCartGroups::Clicked(int row, int column) {
    txtCartNo_->Close();
    txtDescription_->Close();
    switch (engine_.ClickCell(row + 1, column)) {
    case CartGroupsEngine::Editor::Description:
        txtDescription_->Open(row, column);
        break;
    case CartGroupsEngine::Editor::CartNumber:
        txtCartNo_->Open(row, column);
        break;
    case CartGroupsEngine::Editor::None:
        break;
    }
}

void frmCartGroups::Mirror() {
    for (int r = 1; r <= Breaks::kCartGroupCount; ++r)
        for (int c = 0; c < E::kColumns; ++c) {
            QTableWidgetItem* item = grid_->item(r - 1, c);
            QString text = Shown(engine_.Cell(r, c));
            if (item->text() != text) item->setText(text);
            int32_t colour = engine_.CellColour(r, c);
            if (colour != E::kNoColour)
                item->setBackground(
                    QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
        }
}

void ShowCartGroups(QWidget* owner, SplitSender* sender) {
    auto* form = new frmCartGroups(sender, owner);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
}

} // namespace SettingsDialogs
