#pragma once
// The hardware settings dialog: a tab a card, each with its type, device number and serial
// port, and a grid of the card's lines edited through floating editors over the clicked cell.
#include "hardware/HardwareSettingsEngine.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace HardwareSettings {

class frmHardwareSettings : public QDialog {
    Q_OBJECT
public:
    explicit frmHardwareSettings(QWidget* parent = nullptr);

    HardwareSettingsEngine& Engine() { return engine_; }
    // Reloads the table and shows every page from it.
    void Form_Load();
    // Mirrors page Index of the engine.
    void ShowPage(int Index);

    struct PageWidgets {
        QComboBox* CardTypeList = nullptr;
        QLabel* PortAddressL = nullptr;
        QLineEdit* PortAddressT = nullptr;
        QComboBox* ComPortlist = nullptr;
        QLabel* lblNotice = nullptr;
        QTableWidget* gridUsage = nullptr;
        QComboBox* ListOptions = nullptr;
        QLineEdit* txtDescription = nullptr;
        QLineEdit* txtInfo = nullptr;
    };
    PageWidgets& Widgets(int Index) { return pages_[static_cast<size_t>(Index - 1)]; }
    QTabWidget* tbsSettings() const { return tabs_; }
    // A click on the grid of page Index from row Row down (or up) to RowSel in column Col.
    void ClickGrid(int Index, int Row, int RowSel, int Col);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* BuildPage(int Index);
    void PlaceEditor(int Index, QWidget* editor);

    HardwareSettingsEngine engine_;
    QTabWidget* tabs_;
    std::array<PageWidgets, kPages> pages_;
    bool showing_ = false;
};

// Opens the dialog (modeless, freed when closed); the menus call it.
void ShowHardwareSettings(QWidget* parent = nullptr);

} // namespace HardwareSettings
