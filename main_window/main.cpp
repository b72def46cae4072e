// VNTZEL: plays the local advert breaks of one transmitter split.
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/AudioSettings.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SerialSettings.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/CommandLine.h"
#include "main_window/RemoteControlStartup.h"
#include "main_window/frmMain.h"
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
    Audio_Player_FN::UsePlayerWindows();
    Audio_Player_FN::InitialiseAudio();
    Audio_Player_FN::EmbedPlayerWindows(main.picPlayer());
    MainWindow::StartCartGroups(main);
    main.show();
    Audio_Player_FN::ShowPlayerWindows();
    SerialSettings::LoadSerialSettings(MainSettings::Settings().MainIniFile);
    // The playout system, the other machines and the ZOZ reach the split over TCP.
    MainWindow::StartRemoteControl();

    int result = app.exec();
    MainWindow::StopRemoteControl();
    MainWindow::StopCartGroups();
    Audio_Player_FN::ShutdownAudio();
    Vantor_Cart_Routines::CloseAudiowallParts();
    Audio_Player_FN::DestroyPlayerWindows();
    MainWindow::UnloadMainForm();
    return result;
}
