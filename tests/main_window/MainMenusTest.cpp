// The main window's menus on a real split (cart players on the capture device): every item
// opens its window or runs its command, the hidden items, the log-edit pop-up on real log
// files, the serial data log on a pseudo-terminal and Exit closing every socket and port.
#include "network_control/LoopbackPeer.h"
#include "support/BreakRig.h"
#include "support/PtyPair.h"

#include "breaks/LogEditing.h"
#include "breaks/frmSplit.h"
#include "browsing/frmCartBrowser.h"
#include "browsing/frmLogViewer.h"
#include "hardware/frmHardwareSettings.h"
#include "main_window/CartGroupPanel.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/NetworkDoors.h"
#include "main_window/RemoteControlStartup.h"
#include "main_window/SerialCommandPort.h"
#include "main_window/frmMain.h"
#include "main_window/frmMain_Menus.h"
#include "main_window/frmSerialBuffer.h"
#include "platform/Ports.h"
#include "settings_dialogs/DialogConventions.h"
#include "settings_dialogs/frmCartGroups.h"
#include "settings_dialogs/frmLogSettings.h"
#include "settings_dialogs/frmZELNetworkSettings.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTcpServer>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

using BreakRig::Advert;
using BreakRig::Rig;
using MainWindow::MainMenus;

namespace {

class MainMenusTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VNTZEL_PORT_OFFSET", QByteArray::number(TestSupport::ProgramPortOffset(1)));
        qputenv("VNTZEL_SYSTEMDRIVE", QByteArray::fromStdString(traceDir.Path()));
        GeneralFunctions::State().DebugMode = -1;
        ASSERT_TRUE(rig.Open());
        for (const Advert& a : {Advert{801, 3.0f, 2.0f, "Advert One", "R1", 1000},
                                Advert{802, 3.0f, 2.0f, "Advert Two", "R2", 2000},
                                Advert{901, 3.0f, 2.0f, "Later", "R3", 3000}})
            ASSERT_TRUE(rig.AddAdvert(a));
        rig.WriteLog({{36000, {801, 802}}, {39600, {901}}});

        MainWindow::MainMenuDoors doors;
        doors.SplitWindow = [this] { return split.get(); };
        doors.SerialPort = [this] { return &port; };
        doors.Unload = [this] { MainWindow::CloseSocketsAndPorts(main); };
        doors.ShowAbout = [this] { ++abouts; };
        menus = new MainMenus(main, doors);
        SplitWindowDoors splitDoors;
        splitDoors.mnuSplit = [this](bool active) { menus->ShowSplitMenu(active); };
        splitDoors.mnuEditLog = [this](int32_t pos, QPoint at) { menus->PopupEditLog(pos, at); };
        split = std::make_unique<frmSplit>(rig.Engine(), splitDoors, &main);
        split->setWindowFlag(Qt::Window);
        split->Form_Load();
        rig.CueBreak(36000);
        ZEL_Common::SetCartChooser(Browsing::ChooseCart);
    }
    void TearDown() override {
        ZEL_Common::SetCartChooser({});
        SettingsDialogs::SetFileChooserHook({});
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != &main && window != split.get()) window->close();
        split->Unload();
        split.reset();
        Browsing::UnloadCartBrowser();
        MainWindow::StopCartGroups();
        MainWindow::StopRemoteControl();
        MainWindow::UnloadMainForm();
        GeneralFunctions::State().DebugMode = 0;
        qunsetenv("VNTZEL_SYSTEMDRIVE");
        qunsetenv("VNTZEL_PORT_OFFSET");
    }

    QAction* Item(const char* name) { return menus->Item(name); }
    // Triggers the item; the shown window of type W it opened, closed afterwards by TearDown.
    template <typename W> W* Opens(const char* item) {
        Item(item)->trigger();
        QCoreApplication::processEvents();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<W*>(window); found && found->isVisible()) return found;
        return nullptr;
    }
    std::string Trace() const {
        return TestSupport::ReadBytes(GeneralFunctions::DebugTraceFile(Rig::kDay));
    }
    std::string LogPath() const { return Breaks::Split(1)->WorkingLogPath; }
    // The file position of the n-th line (1-based) of the working log.
    int32_t LinePos(int n) const {
        const std::string text = TestSupport::ReadBytes(LogPath());
        size_t at = 0;
        for (int i = 1; i < n; ++i)
            at = text.find('\n', at) + 1;
        return static_cast<int32_t>(at) + 1;
    }

    TestSupport::ScriptedBoxes boxes;
    TestSupport::ScratchDir traceDir;
    Rig rig;
    MainWindow::frmMain& main = MainWindow::MainForm();
    MainMenus* menus = nullptr;
    std::unique_ptr<frmSplit> split;
    MainWindow::SerialCommandPort port{main.commControl(), main.commBounce()};
    int abouts = 0;
};

} // namespace

TEST_F(MainMenusTest, EveryItemOpensItsWindowOrRunsItsAction) {
    // The tree: names, captions and the items hidden when the window is made.
    struct Expected {
        const char* name;
        const char* caption;
        bool visible;
    };
    for (const Expected& e : {Expected{"mnuFileExit", "E&xit", true},
                              {"mnuCartBrowser", "&Cart Browser", true},
                              {"mnuCartGroups", "&Cart Groups", true},
                              {"mnuZELNetworkCartGroups", "Cart &Groups", true},
                              {"mnuGeneralSettings", "General &Settings", true},
                              {"mnuViewHardwareSettings", "&Hardware Settings", true},
                              {"mnuZELNetworkSep", "", false},
                              {"mnuZELNetwork", "&ZEL Network Settings", false},
                              {"mnuSplit", "S&plit Information", false},
                              {"mnuSplitLogFileSettings", "L&og File Settings", true},
                              {"mnuToolsLogdata", "&Log Incoming Serial Data", true},
                              {"mnuAbout", "&About", true},
                              {"mnuEditSetnext", "Set This Advert Break to play next", true},
                              {"mnuEditSep1", "", false},
                              {"mnuEditRemoveBreak", "Remove this entire break", false}}) {
        ASSERT_NE(Item(e.name), nullptr) << e.name;
        EXPECT_EQ(Item(e.name)->text().toStdString(), e.caption) << e.name;
        EXPECT_EQ(Item(e.name)->isVisible(), e.visible) << e.name;
    }
    EXPECT_FALSE(Item("mnuEditRemoveBreak")->isEnabled());
    const std::vector<std::string> bar = {"&File",  "&Carts", "&Settings", "S&plit Information",
                                          "&Tools", "&Help"};
    std::vector<std::string> shown;
    for (QAction* top : menus->MenuBar()->actions())
        shown.push_back(top->text().toStdString());
    EXPECT_EQ(shown, bar);
    menus->ApplyStartup(false, true);
    EXPECT_TRUE(Item("mnuZELNetwork")->isVisible() && Item("mnuZELNetworkSep")->isVisible());
    EXPECT_TRUE(Item("mnuCartGroups")->isChecked());

    // Modeless windows.
    Browsing::frmCartBrowser* browser = Opens<Browsing::frmCartBrowser>("mnuCartBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->Engine().AllowDragging);
    browser->hide();
    EXPECT_NE(Opens<SettingsDialogs::frmCartGroups>("mnuZELNetworkCartGroups"), nullptr);
    EXPECT_NE(Opens<HardwareSettings::frmHardwareSettings>("mnuViewHardwareSettings"), nullptr);
    EXPECT_NE(Opens<SettingsDialogs::frmZELNetworkSettings>("mnuZELNetwork"), nullptr);
    auto* logSettings = Opens<SettingsDialogs::frmLogSettings>("mnuSplitLogFileSettings");
    ASSERT_NE(logSettings, nullptr);
    EXPECT_EQ(logSettings->parentWidget(), &main);
    auto* buffer = Opens<MainWindow::frmSerialBuffer>("mnuViewSerialBuffer");
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->parentWidget(), &main);

    // Modal dialogs: without a display each is made and its showing traced.
    for (const char* item : {"mnuGeneralSettings", "mnuFileLocations", "mnuAudioSettings"})
        Item(item)->trigger();
    for (const char* title : {"General Settings:", "Vantor File Locations", "Audio Setup"})
        EXPECT_NE(Trace().find(std::string("Dialog not shown without a display: ") + title),
                  std::string::npos)
            << title;

    // The log viewer only while the split window is the active one, on tomorrow's log.
    EXPECT_EQ(Opens<Browsing::frmLogViewer>("mnuSplitViewLogs"), nullptr);
    split->Form_Activate();
    EXPECT_TRUE(Item("mnuSplit")->isVisible());
    Browsing::frmLogViewer* viewer = Opens<Browsing::frmLogViewer>("mnuSplitViewLogs");
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->Engine().SplitNumber, 1);
    EXPECT_EQ(viewer->Engine().txtStartDate, "08 December 2026");
    split->Form_Deactivate();
    EXPECT_FALSE(Item("mnuSplit")->isVisible());

    // The future-log check on demand.
    MainSettings::Settings().General.LogWarningDays = std::string(168, '2');
    Item("mnuSplitUpdateFutureWarning")->trigger();
    EXPECT_EQ(rig.Engine().StatusText(), "No logs for : 08/12/2026, 09/12/2026");

    // The cart-group panel follows the tick at once; the setting is not written.
    MainSettings::Settings().General.ShowCartGroups = 1;
    MainWindow::StartCartGroups(main);
    QWidget* panel = MainWindow::CartGroupPanelIfLoaded();
    Item("mnuCartGroups")->trigger();
    EXPECT_FALSE(Item("mnuCartGroups")->isChecked());
    EXPECT_TRUE(panel->isHidden());
    Item("mnuCartGroups")->trigger();
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(MainSettings::Settings().General.ShowCartGroups, 1);

    Item("mnuAbout")->trigger();
    EXPECT_EQ(abouts, 1);

    // The log pop-up from a right click on the 11:00 advert's row: the break holding the
    // line is cued next.
    const int32_t laterLine = LinePos(4);
    const auto& rows = split->Log().LogLinePos;
    const auto row = std::find(rows.begin(), rows.end(), laterLine);
    ASSERT_NE(row, rows.end());
    ASSERT_EQ(Breaks::Split(1)->CuedBreakTime, 36000);
    QTimer::singleShot(0, [this] {
        Item("mnuEditSetnext")->trigger();
        menus->mnuEditLog()->close();
    });
    emit split->picLog->rightClicked(static_cast<int>(row - rows.begin()), QPoint(10, 10));
    EXPECT_EQ(menus->EditLogTag(), laterLine);
    EXPECT_EQ(Breaks::Split(1)->CuedBreakTime, 39600);
    EXPECT_EQ(Breaks::Split(1)->CuedBreakPos, laterLine);

    // Refused while a break runs: only the message.
    const int32_t secondLine = LinePos(2);
    menus->SetEditLogTag(secondLine);
    Breaks::State().BreakRunning = true;
    Item("mnuEditSetnext")->trigger();
    Breaks::State().BreakRunning = false;
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].prompt,
              "You cannot Change the current advert break while an ad break is running");
    EXPECT_EQ(Breaks::Split(1)->CuedBreakTime, 39600);

    // Insert asks the cart browser for the cart (no dragging); Remove takes the line out.
    const std::string original = TestSupport::ReadBytes(LogPath());
    menus->SetEditLogTag(secondLine);
    QTimer::singleShot(0, [] {
        EXPECT_FALSE(Browsing::CartBrowser().Engine().AllowDragging);
        Browsing::CartBrowser().Engine().ReturnCartNumber(901);
    });
    Item("mnuEditinsertAdvert")->trigger();
    const std::string inserted = TestSupport::ReadBytes(LogPath());
    EXPECT_GT(inserted.size(), original.size());
    EXPECT_EQ(AdvertLog_FN::GetLineCartNumber(inserted.substr(static_cast<size_t>(secondLine - 1))),
              901);
    Item("mnuEditRemoveAdvert")->trigger();
    EXPECT_EQ(TestSupport::ReadBytes(LogPath()), original);

    // Without settings: the settings menu and the split's log settings are hidden.
    menus->ApplyStartup(true, false);
    for (const char* name : {"mnuSettings", "mnuSplitLogFileSettings", "mnuSplitLogFileSettingsSep",
                             "mnuZELNetwork", "mnuTools"})
        EXPECT_FALSE(Item(name)->isVisible()) << name;
    EXPECT_FALSE(Item("mnuCartGroups")->isChecked());
}

TEST_F(MainMenusTest, LogsSerialDataAndExitClosesEverySocketAndPort) {
    TestSupport::PtyPair control;
    ASSERT_FALSE(control.slavePath.empty());
    qputenv("VNTZEL_COM7", QByteArray::fromStdString(control.slavePath));
    ASSERT_EQ(main.commControl().SetCommPort(7), 0);
    ASSERT_EQ(main.commControl().SetPortOpen(true), 0);

    // Choosing an existing file empties it; received bytes then go into it.
    const std::string file = traceDir.File("SERIAL.LOG");
    TestSupport::WriteBytes(file, "old text");
    std::string asked;
    std::string answer = file;
    SettingsDialogs::SetFileChooserHook(
        [&](const std::string& title, const std::string&, const std::string&) {
            asked = title;
            return answer;
        });
    Item("mnuToolsLogdata")->trigger();
    EXPECT_EQ(asked, "Choose the file to log serial commands into");
    EXPECT_TRUE(Item("mnuToolsLogdata")->isChecked());
    EXPECT_EQ(port.SerialDataLog, file);
    ASSERT_TRUE(control.WriteMaster("AB\xE9\x01Z"));
    EXPECT_TRUE(TestSupport::PumpUntil(
        [&] { return TestSupport::ReadBytes(file).find("AB\xE9\x01Z") != std::string::npos; },
        3000));
    EXPECT_EQ(TestSupport::ReadBytes(file).find("old text"), std::string::npos);

    // Unticking stops the log; a cancelled dialog leaves it off.
    Item("mnuToolsLogdata")->trigger();
    EXPECT_FALSE(Item("mnuToolsLogdata")->isChecked());
    EXPECT_TRUE(port.SerialDataLog.empty());
    answer.clear();
    Item("mnuToolsLogdata")->trigger();
    EXPECT_FALSE(Item("mnuToolsLogdata")->isChecked());
    EXPECT_TRUE(port.SerialDataLog.empty());
    const std::string logged = TestSupport::ReadBytes(file);
    ASSERT_TRUE(control.WriteMaster("MORE"));
    TestSupport::PumpUntil([&] { return port.SerialInputBuffer.find("MORE") != std::string::npos; },
                           3000);
    EXPECT_EQ(TestSupport::ReadBytes(file), logged);

    // The sockets: a slave connected to us, and our link to a master that the general
    // settings' new master name reconnects.
    QTcpServer master;
    ASSERT_TRUE(master.listen(QHostAddress::LocalHost,
                              static_cast<quint16>(Platform::FixedPort(Platform::SlavePort) + 1)));
    MainWindow::StartRemoteControl(rig.Engine());
    TestSupport::LoopbackPeer slave;
    ASSERT_TRUE(slave.Connect(static_cast<uint16_t>(Platform::FixedPort(Platform::SlavePort))));
    ASSERT_TRUE(TestSupport::PumpUntil(
        [&] { return CurrentContext().Network->Network().SlaveCount() == 1; }, 3000));
    MainSettings::Settings().Network.MasterName = "127.0.0.1";
    EXPECT_FALSE(master.hasPendingConnections());
    qputenv("VNTZEL_PORT_OFFSET",
            QByteArray::number(qgetenv("VNTZEL_PORT_OFFSET").toInt() + 1)); // the master's port
    CurrentContext().Network->Network().ReconnectMaster();
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return master.hasPendingConnections(); }, 3000));
    QTcpSocket* toMaster = master.nextPendingConnection();

    Item("mnuFileExit")->trigger();
    EXPECT_TRUE(slave.WaitClosed());
    EXPECT_TRUE(TestSupport::PumpUntil(
        [&] { return toMaster->state() == QAbstractSocket::UnconnectedState; }, 3000));
    EXPECT_FALSE(main.commControl().PortOpen());
    EXPECT_FALSE(main.commBounce().PortOpen());
    EXPECT_EQ(CurrentContext().Network, nullptr);
    qunsetenv("VNTZEL_COM7");
}
