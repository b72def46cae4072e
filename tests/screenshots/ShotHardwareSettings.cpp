// The hardware settings dialog with a card of each type: a serial I/O controller, a
// (simulated) Advantech card and the joystick port, one picture a page; and a page whose
// stored type the dialog cannot edit; and the demo station's card.
#include "Screenshots.h"

#include "core/MainSettings.h"
#include "hardware/frmHardwareSettings.h"
#include "platform/Dio.h"
#include "platform/Profile.h"

#include <QByteArray>
#include <QTabWidget>

namespace {

void WriteSettings() {
    const std::string ini = MainSettings::Settings().MainIniFile;
    auto put = [&](const char* section, const std::string& key, const std::string& value) {
        Platform::WritePrivateProfileString(section, key, value, ini);
    };
    put("Hardware1", "CardType", "3");
    put("Hardware1", "BaseAddress", "2");
    const char* actions[][4] = {{"0", "5", "1", "0"},   {"0", "3", "1", "0"},
                                {"0", "144", "2", "0"}, {"0", "6", "-30", "1"},
                                {"1", "151", "1", "0"}, {"1", "4", "2", "1"},
                                {"1", "258", "3", "0"}, {"1", "0", "0", "0"}};
    for (int k = 1; k <= 8; ++k) {
        const std::string n = std::to_string(k);
        put("Hardware1", "LineType" + n, actions[k - 1][0]);
        put("Hardware1", "ActiveLow" + n, k == 4 ? "-1" : "0");
        put("Hardware1", "Action" + n, actions[k - 1][1]);
        put("Hardware1", "Action" + n + "Data1", actions[k - 1][2]);
        put("Hardware1", "Action" + n + "Data2", actions[k - 1][3]);
    }
    put("Hardware1", "Description8", "Studio lamp");
    Platform::Dio::InstallSimulatedCard(0x1A).Features = {1, 16, 16};
    put("Hardware2", "CardType", "4");
    put("Hardware2", "BaseAddress", "26");
    put("Hardware2", "Action1", "257");
    put("Hardware2", "Action1Data1", "12");
    put("Hardware3", "CardType", "5");
}

QWidget* MakeDialog(int tab) {
    WriteSettings();
    auto* dialog = new HardwareSettings::frmHardwareSettings;
    dialog->Form_Load();
    dialog->tbsSettings()->setCurrentIndex(tab);
    return dialog;
}

Screenshots::Register serialPage({"HardwareSettingsSerial", [] { return MakeDialog(0); }, {}, {}});
Screenshots::Register
    advantechPage({"HardwareSettingsAdvantech", [] { return MakeDialog(1); }, {}, {}});
Screenshots::Register
    joystickPage({"HardwareSettingsJoystick", [] { return MakeDialog(2); }, {}, {}});
// The demo station's card as scripts/screenshots.sh makes it (VNTZEL_SHOT_STATION).
QWidget* DemoStationDialog() {
    const QByteArray station = qgetenv("VNTZEL_SHOT_STATION");
    if (station.isEmpty()) return nullptr;
    std::string& ini = MainSettings::Settings().MainIniFile;
    const std::string kept = ini;
    ini = station.toStdString() + "/windows/VNTZEL.INI";
    auto* dialog = new HardwareSettings::frmHardwareSettings;
    dialog->Form_Load();
    ini = kept;
    return dialog;
}

Screenshots::Register demoStation({"HardwareSettingsDemoStation", DemoStationDialog, {}, {}});
// A stored card type the type list does not offer: the page names it.
Screenshots::Register
    single8255({"HardwareSettingsSingle8255",
                [] {
                    QWidget* dialog = MakeDialog(0);
                    Platform::WritePrivateProfileString("Hardware1", "CardType", "1",
                                                        MainSettings::Settings().MainIniFile);
                    static_cast<HardwareSettings::frmHardwareSettings*>(dialog)->Form_Load();
                    return dialog;
                },
                {},
                {}});

} // namespace
