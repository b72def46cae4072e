#pragma once
// The hardware manager window: the chosen card's lines as 48 check boxes (ticked while
// active, red for inputs, green for outputs) that switch a line by hand, and the tray icon it
// lives in while minimised. Where there is no tray it stays minimised.
#include "hardware/HardwareManagerEngine.h"

#include <QWidget>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QSystemTrayIcon;

namespace HardwareManager {

class frmHardwareManager : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBoxes = 48;

    explicit frmHardwareManager(QWidget* parent = nullptr);
    ~frmHardwareManager() override;

    HardwareManagerEngine& Engine() { return engine_; }

    // Opens the cards, shows the window, adds the tray icon, minimises and starts the poll.
    void Form_Load();
    // Closes the cards and removes the tray icon.
    void Form_Unload();
    void RefreshDisplay();
    void UpdateDisplay();
    void Form_KeyPress(int KeyAscii);
    // Switches line Index of the chosen card as its box now shows.
    void chkHardware_MouseUp(int Index);
    void lblOutput_Click();
    void Restore();
    void Minimise();

    QComboBox* comboCardNo() const { return comboCardNo_; }
    QCheckBox* chkHardware(int Index) const { return boxes_[static_cast<size_t>(Index - 1)]; }
    // The heading of box column 1..3.
    QLabel* Label(int Column) const { return headings_[static_cast<size_t>(Column - 1)]; }
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    QMenu* mPopupSys() const { return popup_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildBoxes();
    void PlaceAtScreenCorner();
    bool Minimised() const;

    HardwareManagerEngine engine_;
    QComboBox* comboCardNo_;
    std::array<QCheckBox*, kBoxes> boxes_{};
    std::array<QLabel*, 3> headings_{};
    QLabel* lblInput;
    QLabel* lblOutput;
    QMenu* popup_;
    QAction* mPopRestore = nullptr;
    QSystemTrayIcon* tray_;
    bool unloading_ = false;
};

// The running program's manager: loaded at start-up, unloaded at shut-down and reloaded by
// the settings dialog.
frmHardwareManager& LoadHardwareManager();
void UnloadHardwareManager();
frmHardwareManager* HardwareManagerIfLoaded();

} // namespace HardwareManager
