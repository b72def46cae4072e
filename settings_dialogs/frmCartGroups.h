#pragma once
// The cart-group editor: one grid row per group with its options switched by clicks and its
// description and carts typed into floating editors, the five page captions, and OK that
// saves the groups and tells the playout system.
#include "breaks/ZEL_Specific_CartGroups.h"
#include "settings_dialogs/DialogConventions.h"

#include <QObject>
#include <array>
#include <string>

class QLineEdit;
class QTableWidget;
class QTabWidget;
class SplitSender;

namespace SettingsDialogs {

class FloatingCellEditor;

class CartGroupsEngine : public QObject {
    Q_OBJECT
public:
    static constexpr int kColumns = 31;
    static constexpr int kMute = 1, kSelection = 2, kPlayout = 3, kAdCmd = 4;
    static constexpr int kDescription = 10, kFirstCart = 11;
    static constexpr int32_t kGreen = 65280, kYellow = 65535, kNoColour = -1;
    enum class Editor { None, Description, CartNumber };

    // Fills the grid from the cart-group table and the page captions.
    CartGroupsEngine();

    // Row 1..100, column 0..30.
    const std::string& Cell(int row, int column) const;
    int32_t CellColour(int row, int column) const;
    // A click: a toggle changes only that cell; the description and cart columns want their
    // editor.
    Editor ClickCell(int row, int column);
    // What an open editor writes through: a cart cell holds a number above 0 or nothing.
    void SetCellFromEditor(int row, int column, const std::string& text);
    const std::string& PageCaption(int page) const {
        return captions_.at(static_cast<size_t>(page - 1));
    }
    void SetPageCaption(int page, const std::string& text);

    // Stores every group and caption, saves them to the main settings file and sends
    // "CARTGROUPS_EDITED" through sender (when given). False when the save failed (told).
    bool Ok(SplitSender* sender);

signals:
    void Changed();

private:
    std::array<std::array<std::string, kColumns>, Breaks::kCartGroupCount + 1> cells_;
    std::array<std::string, Breaks::kCartGroupPages> captions_;
};

class frmCartGroups : public SettingsForm {
    Q_OBJECT
public:
    explicit frmCartGroups(SplitSender* sender = nullptr, QWidget* parent = nullptr);
    CartGroupsEngine& Engine() { return engine_; }
    QTabWidget* tbsOptions() const { return tabs_; }
    QTableWidget* grdGroups() const { return grid_; }
    FloatingCellEditor* txtCartNo() const { return txtCartNo_; }
    FloatingCellEditor* txtDescription() const { return txtDescription_; }
    QLineEdit* txtCartGroupDescriptions(int i) const {
        return captions_.at(static_cast<size_t>(i - 1));
    }

private:
    void Mirror();
    void Clicked(int row, int column);

    CartGroupsEngine engine_;
    QTabWidget* tabs_;
    QTableWidget* grid_;
    FloatingCellEditor* txtCartNo_;
    FloatingCellEditor* txtDescription_;
    std::array<QLineEdit*, Breaks::kCartGroupPages> captions_{};
};

// The menu command: the editor modeless; OK tells the playout system through sender and
// redraws the main window's cart-group buttons.
void ShowCartGroups(QWidget* owner, SplitSender* sender);

} // namespace SettingsDialogs
