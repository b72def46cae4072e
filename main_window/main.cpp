// VNTZEL: plays the local advert breaks of one transmitter split.
#include "breaks/LogEditing.h"
#include "breaks/SplitCartGroupQueue.h"
#include "breaks/SplitEngine.h"
#include "breaks/SplitPlayerAdapter.h"
#include "breaks/ZEL_Specific.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "breaks/frmSplit.h"
#include "browsing/frmCartBrowser.h"
#include "browsing/frmFindCart.h"
#include "carts/AudioSettingsLoader.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SerialSettings.h"
#include "hardware/HardwareAPI.h"
#include "hardware/ZEL_Specific_Actions.h"
#include "hardware/frmHardwareManager.h"
#include "main_window/CartGroupButtons.h"
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
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Text1252.h"
#include "platform/VB.h"
#include "settings_dialogs/LibraryRegistration.h"
#include "settings_dialogs/frmFileLocations.h"
#include "settings_dialogs/frmLogSettings.h"

#include <QApplication>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("VNTZEL");

    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(Platform::ToWindows1252(QString::fromLocal8Bit(argv[i])));
    MainWindow::SetCommandLine(MainWindow::JoinArguments(arguments));
    MainWindow::ApplyDebugSwitch();
    GeneralFunctions::LoadOSVersion();
    // Boxes answered without a display leave a line in the trace log.
    if (Platform::MsgBoxIsHeadless())
        Platform::SetMsgBoxObserver([](const Platform::ShownBox& box) {
            GeneralFunctions::WriteDebugLine(
                "Message box answered " + std::to_string(box.answer) + ": " + box.prompt, -1);
        });

    std::string windowsFolder = GeneralFunctions::GetWindowsFolder();
    bool iniFound =
        GeneralFunctions::SafeFileLen(Platform::JoinPath(windowsFolder, "VNTZEL.INI")) >= 0;
    GeneralFunctions::WriteDebugLineNest(
        "VNTZEL started: command line \"" + MainWindow::CommandLine().CommandLineText +
            "\", Windows folder " + windowsFolder +
            (iniFound ? ", VNTZEL.INI found" : ", VNTZEL.INI not found"),
        -1, GeneralFunctions::dkReset);

    LibraryRegistration::RegisterLibraries();
    MainSettings::LoadMainSettings();
    // First start: the split's log settings, then the data and audiowall folders.
    if (GeneralFunctions::SafeFileLen(Platform::JoinPath(windowsFolder, "VNTZEL.INI")) <= 0) {
        if (!SettingsDialogs::ShowFirstStartLogSettings()) {
            SettingsDialogs::Box("There was no configuration information entered",
                                 Platform::vbCritical);
            return 1;
        }
        MainSettings::LoadMainSettings();
    }
    if (VB::Trim(MainSettings::Settings().DataFolder).empty()) SettingsDialogs::ShowFileLocations();
    GeneralFunctions::WriteDebugLine(
        "Main settings read from " + MainSettings::Settings().MainIniFile, -1);
    AudioSettings::LoadStartupAudioSettings();

    Vantor_Cart_Routines::ConnectAudiowallParts(0, false);

    // The cart players, each in its window in the main window's player area.
    MainWindow::frmMain& main = MainWindow::MainForm();
    // The menus reach the split window and the serial port made further down.
    frmSplit* splitWindow = nullptr;
    MainWindow::SerialCommandPort* serialCommands = nullptr;
    MainWindow::MainMenuDoors menuDoors;
    menuDoors.SplitWindow = [&] { return splitWindow; };
    menuDoors.SerialPort = [&] { return serialCommands; };
    menuDoors.Unload = [&] { app.quit(); };
    // menuDoors.ShowAbout: the splash window as the About box, once that window exists.
    auto* menus = new MainWindow::MainMenus(main, menuDoors);
    Audio_Player_FN::UsePlayerWindows();
    Audio_Player_FN::InitialiseAudio();
    Audio_Player_FN::EmbedPlayerWindows(main.picPlayer());
    MainWindow::StartCartGroups(main);
    main.show();
    Audio_Player_FN::ShowPlayerWindows();

    // Hardware I/O: the cards polled from the tray, the heartbeat outputs flashing.
    ZEL_Specific::LoadHardwareSettings(MainSettings::Settings().MainIniFile);
    ZEL_Specific::InstallPlayerCommandCheck();
    HardwareManager::LoadHardwareManager();
    int16_t heartbeat = 1, any = 255, outputsOnly = 0;
    HardwareAPI::SetLinesByAction(ZEL_Specific::actMiscOutput, HardwareAPI::OutputFlashing,
                                  heartbeat, any, any, any, outputsOnly);
    MainWindow::LoadSerialSettings(MainSettings::Settings().MainIniFile);

    // The split plays its breaks on the cart players, by the clock and by serial packets; its
    // window is owned by the main window.
    CartPlayers::SplitPlayerAdapter splitPlayers;
    SplitEngine split(nullptr, &splitPlayers);
    CartPlayers::SplitNoticeListener splitNotices(split);
    // The playout system, the other machines and the ZOZ reach the split over TCP.
    MainWindow::StartRemoteControl(split);
    SplitWindowDoors doors;
    doors.AddNoticeListener = [&] {
        Audio_Player_FN::AddNoticeListener(&splitNotices, CartPlayers::ncGeneral);
    };
    doors.RemoveNoticeListener = [&] { Audio_Player_FN::RemoveNoticeListener(&splitNotices); };
    // The window's log timers run the split's scheduler.
    doors.LogReloadTick = [&] { split.tmrLogReload_Timer(); };
    doors.CheckForFutureLogFiles = [&] { split.CheckForFutureLogFiles(); };
    doors.mnuSplit = [menus](bool active) { menus->ShowSplitMenu(active); };
    doors.mnuSplitViewLogs_Click = [menus] { menus->mnuSplitViewLogs_Click(); };
    doors.mnuEditLog = [menus](int32_t filePos, QPoint at) { menus->PopupEditLog(filePos, at); };
    doors.PlayCartGroup = [](int16_t group, bool notifyNetwork) {
        if (MainWindow::CartGroupButtons* buttons = MainWindow::CartGroupButtonsIfLoaded())
            buttons->PlayCartGroup(group, notifyNetwork);
    };
    // The split window's digit keys press the buttons and show their pages.
    doors.pnlCartGroup_Click = [](int16_t index) {
        if (MainWindow::CartGroupButtons* buttons = MainWindow::CartGroupButtonsIfLoaded())
            buttons->pnlCartGroup_Click(index);
    };
    doors.tbsCartGroups = [](int16_t page) {
        if (MainWindow::CartGroupButtons* buttons = MainWindow::CartGroupButtonsIfLoaded())
            buttons->tbsCartGroups_Click(page);
    };
    ZEL_Common::SetCartChooser(Browsing::ChooseCart);
    splitWindow = new frmSplit(split, doors, &main);
    if (MainWindow::CartGroupButtons* buttons = MainWindow::CartGroupButtonsIfLoaded())
        buttons->FocusSplitWindow = [splitWindow] { splitWindow->activateWindow(); };
    // The split window lists the queued cart-group items.
    if (SplitCartGroupQueue* queue = MainWindow::CartGroupQueueIfLoaded())
        QObject::connect(queue, &SplitCartGroupQueue::listCartsChanged, splitWindow, [=] {
            splitWindow->listCarts.clear();
            for (const std::string& line : queue->listCarts())
                splitWindow->listCarts.addItem(Platform::FromWindows1252(line));
        });
    splitWindow->setWindowFlag(Qt::Window);
    splitWindow->show();
    splitWindow->Form_Load();
    MainWindow::SerialCommandPort serialPort(main.commControl(), main.commBounce());
    serialCommands = &serialPort;
    menus->ApplyStartup(
        MainWindow::CommandLine().CommandLineText.find("/NOSETTINGS") != std::string::npos,
        MainSettings::Settings().General.ShowCartGroups != 0);
    serialPort.SetSplit(&split);
    serialPort.Doors.playCart = [](int32_t cart, int16_t volume) {
        Audio_Player_FN::PlayCart(cart, volume);
    };
    serialPort.Doors.testCommand = MainWindow::ShowCommTestAndCount;
    split.SetCartQueue(MainWindow::CartGroupQueueIfLoaded());
    serialPort.Doors.checksAgainstAds = [](int16_t group) {
        Breaks::CartGroupRecord* record = Breaks::CartGroup(group);
        return record && record->CheckAgainstAds != 0;
    };
    serialPort.Doors.firstCartOfGroup = ZEL_Specific::FirstCartOfGroup;
    serialPort.Doors.playCartGroup = [](int16_t group, bool notifyNetwork) {
        if (MainWindow::CartGroupButtons* buttons = MainWindow::CartGroupButtonsIfLoaded())
            buttons->PlayCartGroup(group, notifyNetwork);
    };

    // Hardware inputs play the split's break and the cart groups and hold serial commands.
    HardwareAPI::HardwareDoors& hardwareDoors = HardwareAPI::State().Doors;
    hardwareDoors.playBreak = [&](bool notifyNetwork) { split.PlayBreak(notifyNetwork); };
    hardwareDoors.playCartGroup = doors.PlayCartGroup;
    hardwareDoors.sendMessageToNetwork = [](const std::string& text) {
        if (const auto& network = CurrentContext().Network) network->SendMessageToNetwork(text);
    };
    hardwareDoors.ignoreSerialCommands = [&](bool ignore) {
        serialPort.IgnoreSerialCommands = ignore;
    };

    int result = app.exec();
    serialCommands = nullptr;
    hardwareDoors = HardwareAPI::HardwareDoors{};
    MainWindow::CloseSocketsAndPorts(main);
    MainWindow::StopCartGroups();
    splitWindow->Unload();
    delete splitWindow;
    splitWindow = nullptr;
    HardwareManager::UnloadHardwareManager();
    Browsing::UnloadFindCart();
    Browsing::UnloadCartBrowser();
    Audio_Player_FN::ShutdownAudio();
    Vantor_Cart_Routines::CloseAudiowallParts();
    Audio_Player_FN::DestroyPlayerWindows();
    MainWindow::UnloadMainForm();
    return result;
}
