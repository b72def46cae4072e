#include "main_window/frmMain_Load.h"

#include "breaks/BreaksState.h"
#include "breaks/LogEditing.h"
#include "breaks/SplitCartGroupQueue.h"
#include "breaks/SplitEngine.h"
#include "breaks/SplitPlayerAdapter.h"
#include "breaks/ZEL_Common.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "breaks/frmSplit.h"
#include "browsing/frmCartBrowser.h"
#include "browsing/frmFindCart.h"
#include "carts/AudioSettingsLoader.h"
#include "carts/Audio_Player_FN.h"
#include "carts/CartsState.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/DataLocation.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "hardware/HardwareAPI.h"
#include "hardware/ZEL_Specific_Actions.h"
#include "hardware/ZEL_Specific_Hardware.h"
#include "hardware/frmHardwareManager.h"
#include "main_window/AppInfo.h"
#include "main_window/CartGroupButtons.h"
#include "main_window/CartGroupPanel.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/CommandLine.h"
#include "main_window/NetworkDoors.h"
#include "main_window/ProgramContext.h"
#include "main_window/RemoteControlStartup.h"
#include "main_window/SerialCommandPort.h"
#include "main_window/SerialPorts.h"
#include "main_window/frmCommTest.h"
#include "main_window/frmMain.h"
#include "main_window/frmMain_Menus.h"
#include "main_window/frmSplash.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Ports.h"
#include "platform/Text1252.h"
#include "platform/VB.h"
#include "settings_dialogs/DialogConventions.h"
#include "settings_dialogs/frmFileLocations.h"
#include "settings_dialogs/frmLogSettings.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <exception>
#include <functional>
#include <memory>

namespace MainWindow {

namespace {

constexpr const char* kMainIni = "VNTZEL.INI";
constexpr int kMinWidthTwips = 12000, kMinHeightTwips = 9600, kMaxTwips = 80000;

// What start-up makes and shut-down takes down, beside the main window itself.
struct RunningParts {
    CartPlayers::SplitPlayerAdapter splitPlayers;
    SplitEngine split{nullptr, &splitPlayers};
    CartPlayers::SplitNoticeListener splitNotices{split};
    std::unique_ptr<SerialCommandPort> serialPort;
    QPointer<frmSplit> splitWindow;
};

// The main window's own panels that start-up adds: the MDI client area, the network panel and
// the status bar with its "logging" panel.
struct MainPanels {
    QPointer<QMdiArea> client;
    QPointer<QLabel> picNetwork;
    QPointer<QStatusBar> StatusBar1;
    QPointer<QLabel> logging;
    QPointer<MainMenus> menus;
};

std::unique_ptr<RunningParts>& Running() {
    static std::unique_ptr<RunningParts> parts;
    return parts;
}

MainPanels& Panels() {
    static MainPanels panels;
    return panels;
}

std::string& StopReason() {
    static std::string reason;
    return reason;
}

// A start-up that cannot go on: the reason is kept for the caller to report, the splash goes.
int StopStartup(const std::string& reason) {
    StopReason() = reason;
    GeneralFunctions::WriteDebugLine("Start-up stopped: " + reason, -1);
    UnloadSplash();
    return 1;
}

bool CommandLineHas(const char* word) {
    return CommandLine().CommandLineText.find(word) != std::string::npos;
}

void Trace(const std::string& text) {
    if (GeneralFunctions::State().DebugMode != 0) GeneralFunctions::WriteDebugLine(text, -1);
}

void Progress(const std::string& text) {
    ShowProgress(text);
    Trace(text);
}

// Runs one step; a failure is traced and start-up (or shut-down) goes on.
void Step(const char* name, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        GeneralFunctions::WriteDebugLine(std::string(name) + " failed: " + error.what(), -1);
    } catch (...) {
        GeneralFunctions::WriteDebugLine(std::string(name) + " failed", -1);
    }
}

std::string MainIniPath() {
    return Platform::JoinPath(GeneralFunctions::GetWindowsFolder(), kMainIni);
}

void OpenFileLocations(const std::string& iniFile) {
    SettingsDialogs::frmFileLocations form(MainFormIfLoaded());
    form.Engine().SetIniFile(iniFile);
    SettingsDialogs::ShowModal(form);
}

// Lays the panels out: players on top, the cart groups and the status bar at the bottom, the
// network panel above them and the split window's client area between.
void LayOutPanels(frmMain& main) {
    MainPanels& panels = Panels();
    int bottom = main.height();
    if (panels.StatusBar1) {
        int h = panels.StatusBar1->sizeHint().height();
        bottom -= h;
        panels.StatusBar1->setGeometry(0, bottom, main.width(), h);
    }
    CartGroupPanel* groups = CartGroupPanelIfLoaded();
    if (groups && groups->isVisible()) {
        bottom -= groups->height();
        groups->setGeometry(0, bottom, main.width(), groups->height());
    }
    if (panels.picNetwork && panels.picNetwork->isVisible()) {
        int h = panels.picNetwork->sizeHint().height();
        bottom -= h;
        panels.picNetwork->setGeometry(0, bottom, main.width(), h);
    }
    int top = main.picPlayer()->isVisible() ? main.picPlayer()->geometry().bottom() + 1 : 0;
    if (!panels.client) return;
    panels.client->setGeometry(0, top, main.width(), std::max(0, bottom - top));
    // The window keeps room for the smallest split window between the players and the panels
    // below, so that no panel (the network panel above all) covers any of it.
    int child = 0;
    for (QMdiSubWindow* window : panels.client->subWindowList())
        child = std::max(child, window->minimumSizeHint().height());
    const int needed = top + child + 2 * panels.client->frameWidth() + main.height() - bottom;
    main.setMinimumHeight(std::max(kMinHeightTwips / kTwipsPerPixel, needed));
}

// The main window's activation, resizing and closing reach start-up's handlers here.
class MainWindowEvents : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* main = static_cast<frmMain*>(watched);
        switch (event->type()) {
        case QEvent::WindowActivate:
            MDIForm_Activate();
            break;
        case QEvent::Resize:
        case QEvent::LayoutRequest:
            LayOutPanels(*main);
            break;
        case QEvent::Close: {
            // The program ends right after: a box raised on the way down must be read first.
            Platform::BlockingBoxes boxes;
            int16_t cancel = 0;
            MDIForm_Unload(cancel);
            QCoreApplication::quit();
            break;
        }
        default:
            break;
        }
        return false;
    }
};

void AddPanels(frmMain& main) {
    MainPanels& panels = Panels();
    panels.client = new QMdiArea(&main);
    panels.client->setObjectName("MDIClient");
    panels.client->setBackground(QColor(128, 128, 128));
    panels.picNetwork = new QLabel(&main);
    panels.picNetwork->setObjectName("picNetwork");
    panels.picNetwork->setFrameShape(QFrame::Panel);
    panels.picNetwork->hide();
    panels.StatusBar1 = new QStatusBar(&main);
    panels.StatusBar1->setObjectName("StatusBar1");
    panels.StatusBar1->setSizeGripEnabled(false);
    panels.logging = new QLabel(panels.StatusBar1);
    panels.logging->setObjectName("logging");
    panels.StatusBar1->addPermanentWidget(panels.logging);
    // A failure told while the program runs stays in the status bar until the next one.
    static const int teller = GeneralFunctions::AddProblemTeller([](const std::string& text) {
        if (QStatusBar* bar = Panels().StatusBar1)
            bar->showMessage(Platform::FromWindows1252(text));
    });
    (void)teller;
    MainMenuDoors doors;
    doors.SplitWindow = SplitWindowIfLoaded;
    doors.SerialPort = []() -> SerialCommandPort* {
        return Running() ? Running()->serialPort.get() : nullptr;
    };
    doors.Unload = [&main] { main.close(); };
    doors.ShowAbout = [&main] { ShowAbout(&main); };
    panels.menus = new MainMenus(main, doors);
    main.installEventFilter(new MainWindowEvents(&main));
    main.setWindowTitle(kMainCaption);
    main.setMinimumSize(kMinWidthTwips / kTwipsPerPixel, kMinHeightTwips / kTwipsPerPixel);
    main.setMaximumSize(kMaxTwips / kTwipsPerPixel, kMaxTwips / kTwipsPerPixel);
}

// The network panel names the ports start-up listens on.
void ShowNetworkPanel() {
    QLabel* panel = Panels().picNetwork;
    if (!panel) return;
    panel->setText(QString::fromStdString("Network: " + ListeningPortsText()));
    panel->show();
}

constexpr const char* kNarrowScreen =
    "Vantor ZEL will only run in 800x600 screen resolution or higher.";

// Step 1: the screen is at least 800 pixels wide.
bool ScreenWideEnough() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->geometry().width() >= 800) return true;
    Platform::MsgBox(kNarrowScreen, Platform::vbExclamation | Platform::vbOKOnly);
    return false;
}

// Step 7: the settings file exists and holds more than 10 bytes; else what is wrong with it.
std::string SettingsFileFault() {
    std::string path = MainIniPath();
    if (GeneralFunctions::SafeFileLen(path) > 10) return "";
    std::string message = "settings file " + path + " missing or empty";
    Platform::MsgBox(message, Platform::vbCritical | Platform::vbOKOnly,
                     SettingsDialogs::kBoxTitle);
    return message;
}

// Step 8: the audiowall opens, at the second try after the file-locations dialog.
bool OpenAudiowall() {
    if (Vantor_Cart_Routines::ConnectAudiowallParts(0, false) == 0) return true;
    OpenFileLocations("VNTZEL.ini");
    if (Vantor_Cart_Routines::ConnectAudiowallParts(0, false) == 0) return true;
    Vantor_Cart_Routines::CloseAudiowallParts();
    return false;
}

// Step 11: the player windows that InitialiseAudio made, as children of the player area.
void DisplayPlayers(frmMain& main) {
    if (MainSettings::Settings().Audio.TotalNumberCartPlayers < 1) {
        main.picPlayer()->hide();
        return;
    }
    Audio_Player_FN::EmbedPlayerWindows(main.picPlayer());
    Audio_Player_FN::ShowPlayerWindows();
}

constexpr const char* kNoConfiguration = "There was no configuration information entered";

// Step 12: the first start asks for the split's log settings.
bool FirstStartSettings() {
    if (GeneralFunctions::SafeFileLen(MainIniPath()) > 0) return true;
    if (!SettingsDialogs::ShowFirstStartLogSettings()) {
        Platform::MsgBox(kNoConfiguration, Platform::vbCritical | Platform::vbOKOnly,
                         SettingsDialogs::kBoxTitle);
        return false;
    }
    MainSettings::LoadMainSettings();
    return true;
}

void StartHardware() {
    ZEL_Specific::LoadHardwareSettings(MainSettings::Settings().MainIniFile);
    ZEL_Specific::InstallPlayerCommandCheck();
    Progress("Starting Hardware Manager...");
    HardwareManager::LoadHardwareManager(); // sets the heartbeat outputs flashing
}

void PlayCartGroup(int16_t group, bool notifyNetwork) {
    if (CartGroupButtons* buttons = CartGroupButtonsIfLoaded())
        buttons->PlayCartGroup(group, notifyNetwork);
}

// Step 16: the serial network settings open the command port.
void StartSerialPort(frmMain& main, RunningParts& parts) {
    parts.serialPort = std::make_unique<SerialCommandPort>(main.commControl(), main.commBounce());
    SerialCommandPort& port = *parts.serialPort;
    port.SetSplit(&parts.split);
    port.Doors.playCart = [](int32_t cart, int16_t volume) {
        Audio_Player_FN::PlayCart(cart, volume);
    };
    port.Doors.testCommand = ShowCommTestAndCount;
    port.Doors.checksAgainstAds = [](int16_t group) {
        Breaks::CartGroupRecord* record = Breaks::CartGroup(group);
        return record && record->CheckAgainstAds != 0;
    };
    port.Doors.firstCartOfGroup = ZEL_Specific::FirstCartOfGroup;
    port.Doors.playCartGroup = PlayCartGroup;
    LoadSerialSettings(MainSettings::Settings().MainIniFile);
}

// What the hardware inputs and the ZOZ link reach in the running program.
void WireDoors(RunningParts& parts) {
    HardwareAPI::HardwareDoors& hardware = HardwareAPI::State().Doors;
    hardware.playBreak = [&parts](bool notifyNetwork) { parts.split.PlayBreak(notifyNetwork); };
    hardware.playCartGroup = PlayCartGroup;
    hardware.sendMessageToNetwork = [](const std::string& text) {
        if (const auto& network = CurrentContext().Network) network->SendMessageToNetwork(text);
    };
    hardware.ignoreSerialCommands = [&parts](bool ignore) {
        if (parts.serialPort) parts.serialPort->IgnoreSerialCommands = ignore;
    };
    hardware.updateLoggingCaption = UpdateLoggingCaption;
}

SplitWindowDoors SplitDoors(RunningParts& parts) {
    SplitWindowDoors doors;
    doors.lblCurrentAction = ShowProgress;
    doors.UnloadSplash = UnloadSplash;
    doors.AddNoticeListener = [&parts] {
        Audio_Player_FN::AddNoticeListener(&parts.splitNotices, CartPlayers::ncGeneral);
    };
    doors.RemoveNoticeListener = [&parts] {
        Audio_Player_FN::RemoveNoticeListener(&parts.splitNotices);
    };
    // The window's log timers run the split's scheduler.
    doors.LogReloadTick = [&parts] { parts.split.tmrLogReload_Timer(); };
    doors.ResetLogReloadTimes = [&parts] { parts.split.ResetLogReloadTimes(); };
    doors.CheckForFutureLogFiles = [&parts] { parts.split.CheckForFutureLogFiles(); };
    doors.PlayCartGroup = PlayCartGroup;
    if (MainMenus* menus = Panels().menus) {
        doors.mnuSplit = [menus](bool active) { menus->ShowSplitMenu(active); };
        doors.mnuSplitViewLogs_Click = [menus] { menus->mnuSplitViewLogs_Click(); };
        doors.mnuEditLog = [menus](int32_t filePos, QPoint at) {
            menus->PopupEditLog(filePos, at);
        };
    }
    // The split window's digit keys press the buttons and show their pages.
    doors.pnlCartGroup_Click = [](int16_t index) {
        if (CartGroupButtons* buttons = CartGroupButtonsIfLoaded())
            buttons->pnlCartGroup_Click(index);
    };
    doors.tbsCartGroups = [](int16_t page) {
        if (CartGroupButtons* buttons = CartGroupButtonsIfLoaded())
            buttons->tbsCartGroups_Click(page);
    };
    return doors;
}

// Step 22: the split window in the main window's client area, and the cart-group panel.
void LoadSplitWindow(frmMain& main, RunningParts& parts) {
    StartCartGroups(main);
    parts.split.SetCartQueue(CartGroupQueueIfLoaded());
    ZEL_Common::SetCartChooser(Browsing::ChooseCart);
    auto* window = new frmSplit(parts.split, SplitDoors(parts));
    parts.splitWindow = window;
    if (CartGroupButtons* buttons = CartGroupButtonsIfLoaded())
        buttons->FocusSplitWindow = [window] { window->activateWindow(); };
    // The split window lists the queued cart-group items.
    if (SplitCartGroupQueue* queue = CartGroupQueueIfLoaded())
        QObject::connect(queue, &SplitCartGroupQueue::listCartsChanged, window, [=] {
            window->listCarts.clear();
            for (const std::string& line : queue->listCarts())
                window->listCarts.addItem(Platform::FromWindows1252(line));
        });
    window->Form_Load();
    bool groups = MainSettings::Settings().General.ShowCartGroups != 0;
    if (CartGroupPanel* panel = CartGroupPanelIfLoaded()) panel->setVisible(groups);
}

void ShowSplitWindow(frmMain& main, RunningParts& parts) {
    if (!parts.splitWindow) return;
    if (QMdiArea* client = Panels().client) {
        QMdiSubWindow* child = client->addSubWindow(parts.splitWindow);
        child->setWindowTitle(parts.splitWindow->windowTitle());
        child->showMaximized();
    } else {
        parts.splitWindow->setParent(&main, Qt::Window);
        parts.splitWindow->show();
    }
    LayOutPanels(main);
}

} // namespace

int MDIForm_Load(frmMain& main) {
    StopReason().clear();
    AddPanels(main);
    if (!ScreenWideEnough()) return StopStartup(kNarrowScreen);
    Splash().show();
    ShowProgress("");
    ApplyDebugSwitch();
    Progress("Getting Vantor ZEL Settings...");
    Step("Loading the main settings", MainSettings::LoadMainSettings);
    if (VB::Trim(MainSettings::Settings().DataFolder).empty()) {
        Step("Searching for the data locations", [] { SearchForDataLocations(); });
        if (VB::Trim(MainSettings::Settings().DataFolder).empty())
            Step("The file locations", [] { OpenFileLocations(kMainIni); });
    }
    Progress("Getting Audio Settings...");
    Step("Loading the audio settings",
         [] { AudioSettings::LoadAudioSettings(kMainIni, "Software\\OrburyCo\\Vantor v2"); });
    if (std::string fault = SettingsFileFault(); !fault.empty()) return StopStartup(fault);
    Progress("Opening Audiowall...");
    if (!OpenAudiowall()) return StopStartup("The audiowall could not be opened");
    Trace("Pre-Display main window");
    main.show();
    Trace("Pre-Initialise Audio");
    Progress("Initialising Players...");
    Step("Initialising the players", [] {
        Audio_Player_FN::UsePlayerWindows();
        Audio_Player_FN::InitialiseAudio();
    });
    Trace("Pre-Display players");
    Step("Displaying the players", [&] { DisplayPlayers(main); });
    if (!FirstStartSettings()) return StopStartup(kNoConfiguration);
    Running() = std::make_unique<RunningParts>();
    RunningParts& parts = *Running();
    WireDoors(parts);
    Step("Starting the hardware", StartHardware);
    if (MainMenus* menus = Panels().menus)
        menus->ApplyStartup(CommandLineHas("/NOSETTINGS"),
                            MainSettings::Settings().General.ShowCartGroups != 0);
    CurrentContext().NetworkEnabled = true;
    Progress("Reading Network Settings...");
    Step("Reading the network settings", [&] { StartSerialPort(main, parts); });
    UpdateLoggingCaption();
    if (int16_t line = MainSettings::Settings().General.SourceLine; line > 0)
        Step("The source line", [&] { HardwareAPI::SetHardwareLine(line, HardwareAPI::OutputOn); });
    Progress("Starting Windows Sockets...");
    Step("Starting the sockets", [&] {
        StartRemoteControl(parts.split);
        if (const auto& network = CurrentContext().Network)
            network->ZOZ().UpdateLoggingCaption = UpdateLoggingCaption;
    });
    if (!CommandLineHas("/NONETDISPLAY") && GeneralFunctions::State().DebugMode != 0)
        ShowNetworkPanel();
    Step("Loading the split window", [&] { LoadSplitWindow(main, parts); });
    Step("Showing the split window", [&] { ShowSplitWindow(main, parts); });
    Trace("Start-up complete");
    return kStartupRunning;
}

const std::string& StartupStopReason() {
    return StopReason();
}

void MDIForm_Activate() {
    if (CartGroupButtons* buttons = CartGroupButtonsIfLoaded()) buttons->UpdateCartGroups();
}

void MDIForm_Unload(int16_t& Cancel) {
    (void)Cancel;
    if (!Running()) return; // already taken down
    Trace("Shutting down");
    Step("Closing the players' audio", [] { Audio_Player_FN::ShutdownAudio(); });
    Step("Unloading the hardware manager", HardwareManager::UnloadHardwareManager);
    Step("Closing the audiowall", Vantor_Cart_Routines::CloseAudiowallParts);
    Step("Unloading the windows", [] {
        HardwareAPI::State().Doors = HardwareAPI::HardwareDoors{};
        if (RunningParts* parts = Running().get()) {
            if (parts->splitWindow) parts->splitWindow->Unload();
            delete parts->splitWindow.data();
        }
        StopCartGroups();
        Browsing::UnloadFindCart();
        Browsing::UnloadCartBrowser();
        UnloadSplash();
    });
    Step("Closing the sockets and serial ports", [] {
        if (frmMain* main = MainFormIfLoaded()) CloseSocketsAndPorts(*main);
    });
    Running().reset();
    Trace("Shut-down complete");
}

void UpdateLoggingCaption() {
    if (QLabel* panel = Panels().logging)
        panel->setText(MainSettings::Settings().LoggingAllowed ? "Logging OK"
                                                               : "Logging DISABLED!");
}

bool SearchForDataLocations() {
    bool isNetwork = false;
    std::string data;
    std::vector<std::string> folders;
    if (!DataLocation::FindSystemLocations(false, isNetwork, data, folders)) return false;
    folders.resize(Vantor_Cart_Routines::kPartCount + 1);
    if (folders[1].empty()) return false;
    std::string list = folders[1];
    for (size_t i = 2; i < folders.size(); ++i) {
        if (folders[i].empty()) folders[i] = folders[i - 1];
        bool listed = false;
        for (size_t j = 1; j < i; ++j)
            listed = listed || folders[j] == folders[i];
        if (!listed) list += "\n" + folders[i];
    }
    std::string prompt = "Vantor data has been found in: \n\n " + data +
                         "\n\nand the audiowall has been found in: \n\n" + list +
                         "\n\nDo you want to use these locations?";
    if (Platform::MsgBox(prompt, Platform::vbYesNo | Platform::vbQuestion) != Platform::vbYes)
        return false;
    ZEL_Common::CreateDataDirectories(data);
    MainSettings::Settings().DataFolder = data;
    for (size_t i = 1; i < folders.size(); ++i)
        Carts::State().AudiowallParts[i].Location = folders[i];
    OpenFileLocations(kMainIni);
    return true;
}

namespace {

// "NAME port N" for a port held, else "no NAME port (N not open: why)".
std::string PortText(const std::string& name, int32_t fixed, uint16_t held,
                     const std::string& error) {
    if (held != 0) return name + " port " + std::to_string(held);
    return "no " + name + " port (" + std::to_string(Platform::FixedPort(fixed)) + " not open" +
           (error.empty() ? "" : ": " + error) + ")";
}

} // namespace

std::string ListeningPortsText() {
    if (CommandLineHas("/NONETWORK")) return "no network (/NONETWORK)";
    const auto& doors = CurrentContext().Network;
    if (!doors) return "no network (the sockets were not started)";
    const NetworkControlServer& playout = doors->Playout().Server();
    return PortText("playout system", Platform::PlayoutControlPort, playout.ServerPort(),
                    playout.ListenError()) +
           ", " +
           PortText("machines", Platform::SlavePort, doors->Network().ListeningPort(),
                    doors->Network().ListenError());
}

std::string ReadyLine() {
    return "VNTZEL ready: settings in " + GeneralFunctions::GetWindowsFolder() + ", trace log in " +
           GeneralFunctions::DebugTraceFolder() + ", logs and reconciliation in " +
           Breaks::Split(1)->LogDestinationDirectory + "; " + ListeningPortsText();
}

SplitEngine* RunningSplit() {
    return Running() ? &Running()->split : nullptr;
}

frmSplit* SplitWindowIfLoaded() {
    return Running() ? Running()->splitWindow.data() : nullptr;
}

} // namespace MainWindow
