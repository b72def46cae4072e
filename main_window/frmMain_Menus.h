#pragma once
// The main window's menu bar and the split window's log-edit pop-up: every item opens its
// window or runs its command. Items are named as the menu names them (objectName), so callers
// and tests reach them by name.
#include <QObject>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QAction;
class QMenu;
class QMenuBar;
class frmSplit;

namespace MainWindow {

class frmMain;
class SerialCommandPort;

// What the menus reach outside the main window; each door may stay empty.
struct MainMenuDoors {
    std::function<frmSplit*()> SplitWindow;
    std::function<SerialCommandPort*()> SerialPort;
    std::function<void()> Unload;    // File > Exit: the main window's shut-down
    std::function<void()> ShowAbout; // Help > About: the splash window as the About box
};

class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(frmMain& main, MainMenuDoors doors);
    ~MainMenus() override;

    QMenuBar* MenuBar() const { return menuBar_; }
    QMenu* mnuEditLog() const { return editLog_; }
    // An item, separator or menu by its name; nullptr for an unknown name.
    QAction* Item(const std::string& name) const;

    // Start-up: the network items and Tools shown unless noSettings; with it the settings
    // items hidden; the cart-group tick from the setting.
    void ApplyStartup(bool noSettings, bool showCartGroups);
    // The split window shows its menu while it is the active window.
    void ShowSplitMenu(bool active);
    // Pops up the log-edit menu for the line at filePos; returns when it is closed.
    void PopupEditLog(int32_t filePos, QPoint global);
    // The file position stored in mnuEditLog.Tag.
    int32_t EditLogTag() const { return editLogTag_; }
    void SetEditLogTag(int32_t filePos) { editLogTag_ = filePos; }

    // The items' commands.
    void mnuFileExit_Click();
    void mnuCartGroups_Click();
    void mnuGeneralSettings_Click();
    void mnuSplitViewLogs_Click();
    void mnuSplitUpdateFutureWarning_Click();
    void mnuViewSerialBuffer_Click();
    void mnuToolsLogdata_Click();
    void mnuAbout_Click();
    void mnuEditSetnext_Click();
    void mnuEditinsertAdvert_Click();
    void mnuEditRemoveAdvert_Click();

private:
    QMenu* AddMenu(const char* name, const char* caption);
    QAction* AddItem(QMenu* menu, const char* name, const char* caption,
                     std::function<void()> action = {});
    QAction* AddSeparator(QMenu* menu, const char* name = "");
    frmSplit* SplitWindow() const;
    SerialCommandPort* Port() const;

    frmMain& main_;
    MainMenuDoors doors_;
    QMenuBar* menuBar_;
    QMenu* editLog_;
    std::map<std::string, QAction*> items_;
    int32_t editLogTag_ = 0;
    bool splitActive_ = false;
};

} // namespace MainWindow
