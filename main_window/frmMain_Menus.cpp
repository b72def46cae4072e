#include "main_window/frmMain_Menus.h"

#include "breaks/BreaksState.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "breaks/frmSplit.h"
#include "browsing/frmCartBrowser.h"
#include "browsing/frmLogViewer.h"
#include "core/GeneralFunctions.h"
#include "hardware/frmHardwareSettings.h"
#include "main_window/CartGroupPanel.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/NetworkDoors.h"
#include "main_window/ProgramContext.h"
#include "main_window/SerialCommandPort.h"
#include "main_window/frmMain.h"
#include "main_window/frmSerialBuffer.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "settings_dialogs/DialogConventions.h"
#include "settings_dialogs/frmAudioSetup.h"
#include "settings_dialogs/frmCartGroups.h"
#include "settings_dialogs/frmFileLocations.h"
#include "settings_dialogs/frmLogSettings.h"
#include "settings_dialogs/frmZELNetworkSettings.h"
#include "settings_dialogs/frmZELSettings.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <cerrno>
#include <cstdio>

namespace MainWindow {

namespace {

constexpr int16_t kSplit = 1;

NetworkDoors* Network() {
    return CurrentContext().Network.get();
}

template <typename Door, typename... Args> void Call(const Door& door, Args&&... args) {
    if (door) door(std::forward<Args>(args)...);
}

} // namespace

MainMenus::MainMenus(frmMain& main, MainMenuDoors doors)
    : QObject(&main), main_(main), doors_(std::move(doors)), menuBar_(new QMenuBar(&main)),
      editLog_(new QMenu(&main)) {
    menuBar_->setObjectName("MenuBar");
    QMenu* file = AddMenu("mnuFile", "&File");
    AddItem(file, "mnuFileExit", "E&xit", [this] { mnuFileExit_Click(); });

    QMenu* carts = AddMenu("mnuCarts", "&Carts");
    AddItem(carts, "mnuCartBrowser", "&Cart Browser", Browsing::mnuCartBrowser_Click);
    AddSeparator(carts, "mnuCartGroupsSep");
    AddItem(carts, "mnuCartGroups", "&Cart Groups", [this] {
        mnuCartGroups_Click();
    })->setCheckable(true);

    QMenu* settings = AddMenu("mnuSettings", "&Settings");
    AddItem(settings, "mnuZELNetworkCartGroups", "Cart &Groups",
            [this] { SettingsDialogs::ShowCartGroups(&main_, Network()); });
    AddSeparator(settings, "mnuFileLocSep");
    AddItem(settings, "mnuGeneralSettings", "General &Settings",
            [this] { mnuGeneralSettings_Click(); });
    AddItem(settings, "mnuFileLocations", "&File Locations",
            [this] { SettingsDialogs::ShowFileLocations(&main_); });
    AddItem(settings, "mnuAudioSettings", "&Audio Settings",
            [this] { SettingsDialogs::ShowAudioSetup(&main_); });
    AddItem(settings, "mnuViewHardwareSettings", "&Hardware Settings",
            [this] { HardwareSettings::ShowHardwareSettings(&main_); });
    AddSeparator(settings, "mnuZELNetworkSep")->setVisible(false);
    AddItem(settings, "mnuZELNetwork", "&ZEL Network Settings", [this] {
        SettingsDialogs::ShowZELNetworkSettings(&main_);
    })->setVisible(false);

    QMenu* split = AddMenu("mnuSplit", "S&plit Information");
    split->menuAction()->setVisible(false);
    AddItem(split, "mnuSplitViewLogs", "&View Advert Log", [this] { mnuSplitViewLogs_Click(); });
    AddSeparator(split);
    AddItem(split, "mnuSplitUpdateFutureWarning", "Update Future Log Warning",
            [this] { mnuSplitUpdateFutureWarning_Click(); });
    AddSeparator(split, "mnuSplitLogFileSettingsSep");
    AddItem(split, "mnuSplitLogFileSettings", "L&og File Settings",
            [this] { SettingsDialogs::ShowLogSettings(&main_); });

    QMenu* tools = AddMenu("mnuTools", "&Tools");
    AddItem(tools, "mnuViewSerialBuffer", "&View Serial Buffer",
            [this] { mnuViewSerialBuffer_Click(); });
    AddSeparator(tools);
    AddItem(tools, "mnuToolsLogdata", "&Log Incoming Serial Data", [this] {
        mnuToolsLogdata_Click();
    })->setCheckable(true);

    QMenu* help = AddMenu("mnuHelp", "&Help");
    AddItem(help, "mnuAbout", "&About", [this] { mnuAbout_Click(); });

    editLog_->setObjectName("mnuEditLog");
    items_["mnuEditLog"] = editLog_->menuAction();
    AddItem(editLog_, "mnuEditSetnext", "Set This Advert Break to play next",
            [this] { mnuEditSetnext_Click(); });
    AddSeparator(editLog_);
    AddItem(editLog_, "mnuEditinsertAdvert", "Insert a new Advert",
            [this] { mnuEditinsertAdvert_Click(); });
    AddItem(editLog_, "mnuEditRemoveAdvert", "Remove this Advert",
            [this] { mnuEditRemoveAdvert_Click(); });
    AddSeparator(editLog_, "mnuEditSep1")->setVisible(false);
    QAction* removeBreak = AddItem(editLog_, "mnuEditRemoveBreak", "Remove this entire break");
    removeBreak->setVisible(false);
    removeBreak->setEnabled(false);

    main_.SetMenuBar(menuBar_);
}

MainMenus::~MainMenus() = default;

QMenu* MainMenus::AddMenu(const char* name, const char* caption) {
    QMenu* menu = menuBar_->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    items_[name] = menu->menuAction();
    return menu;
}

QAction* MainMenus::AddItem(QMenu* menu, const char* name, const char* caption,
                            std::function<void()> action) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    items_[name] = item;
    if (action) connect(item, &QAction::triggered, this, std::move(action));
    return item;
}

QAction* MainMenus::AddSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    if (*name) {
        separator->setObjectName(name);
        items_[name] = separator;
    }
    return separator;
}

frmSplit* MainMenus::SplitWindow() const {
    return doors_.SplitWindow ? doors_.SplitWindow() : nullptr;
}

SerialCommandPort* MainMenus::Port() const {
    return doors_.SerialPort ? doors_.SerialPort() : nullptr;
}

QAction* MainMenus::Item(const std::string& name) const {
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

void MainMenus::ApplyStartup(bool noSettings, bool showCartGroups) {
    for (const char* name : {"mnuZELNetwork", "mnuZELNetworkSep", "mnuTools"})
        Item(name)->setVisible(!noSettings);
    if (noSettings)
        for (const char* name :
             {"mnuSettings", "mnuSplitLogFileSettings", "mnuSplitLogFileSettingsSep"})
            Item(name)->setVisible(false);
    Item("mnuCartGroups")->setChecked(showCartGroups);
}

void MainMenus::ShowSplitMenu(bool active) {
    // Going to the main window's own menu bar leaves the split window the active one.
    if (!active && QApplication::activeWindow() == &main_) return;
    splitActive_ = active;
    Item("mnuSplit")->setVisible(active);
}

void MainMenus::PopupEditLog(int32_t filePos, QPoint global) {
    editLogTag_ = filePos;
    editLog_->exec(global);
}

void MainMenus::mnuFileExit_Click() {
    Call(doors_.Unload);
}

// The tick has already changed; the panel follows it until the next start.
void MainMenus::mnuCartGroups_Click() {
    if (CartGroupPanel* panel = CartGroupPanelIfLoaded())
        panel->setVisible(Item("mnuCartGroups")->isChecked());
}

void MainMenus::mnuGeneralSettings_Click() {
    SettingsDialogs::ShowZELSettings(
        &main_,
        [] {
            if (NetworkDoors* network = Network()) network->ZOZ().ConnectToZOZ();
        },
        [] {
            if (NetworkDoors* network = Network()) network->Network().ReconnectMaster();
        });
}

void MainMenus::mnuSplitViewLogs_Click() {
    if (splitActive_) Browsing::mnuSplitViewLogs_Click(&main_);
}

void MainMenus::mnuSplitUpdateFutureWarning_Click() {
    if (frmSplit* split = SplitWindow()) split->Engine().CheckForFutureLogFiles();
}

void MainMenus::mnuViewSerialBuffer_Click() {
    static QPointer<frmSerialBuffer> window;
    SerialCommandPort* port = Port();
    if (!port) return;
    if (!window) {
        window = new frmSerialBuffer(*port, &main_);
        window->setWindowFlag(Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
}

// The tick has already changed; it is set again from what the command did.
void MainMenus::mnuToolsLogdata_Click() {
    QAction* item = Item("mnuToolsLogdata");
    SerialCommandPort* port = Port();
    if (!port || !port->SerialDataLog.empty()) {
        if (port) port->SerialDataLog.clear();
        item->setChecked(false);
        return;
    }
    item->setChecked(false);
    const std::string file = SettingsDialogs::ChooseSaveFile(
        SplitWindow(), "Choose the file to log serial commands into", "",
        "Log Files (*.LOG);;All files (*.*)", "LOG");
    if (file.empty()) return;
    if (Platform::FileExists(file) && std::remove(Platform::ResolveExisting(file).c_str()) != 0)
        GeneralFunctions::FormatErrorMessage("deleting the old log file",
                                             Platform::ErrorNumberOfErrno(errno), false);
    port->SerialDataLog = file;
    item->setChecked(true);
}

void MainMenus::mnuAbout_Click() {
    Call(doors_.ShowAbout);
}

void MainMenus::mnuEditSetnext_Click() {
    if (Breaks::State().BreakRunning) {
        Platform::MsgBox("You cannot Change the current advert break while an ad break is running",
                         Platform::vbInformation);
        return;
    }
    const int32_t start = ZEL_Common::GetAdBreakStartFilePos(kSplit, editLogTag_);
    frmSplit* split = SplitWindow();
    if (start != 0 && split) split->Engine().SetCurrentBreakPos(start, true, true, false);
}

void MainMenus::mnuEditinsertAdvert_Click() {
    if (frmSplit* split = SplitWindow()) split->InsertAdvert(editLogTag_, 0);
}

void MainMenus::mnuEditRemoveAdvert_Click() {
    if (frmSplit* split = SplitWindow()) split->RemoveAdvert(editLogTag_);
}

} // namespace MainWindow
