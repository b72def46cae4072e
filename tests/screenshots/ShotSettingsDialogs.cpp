// The settings dialogs, filled with a sample station's values.
#include "Screenshots.h"

#include "breaks/BreaksState.h"
#include "carts/CartsState.h"
#include "core/MainSettings.h"
#include "settings_dialogs/frmFileLocations.h"
#include "settings_dialogs/frmLogSettings.h"
#include "settings_dialogs/frmZELNetworkSettings.h"
#include "settings_dialogs/frmZELSettings.h"

#include <QTabWidget>

namespace {

void SampleStation() {
    MainSettings::Settings().DataFolder = "/srv/vntzel/data";
    for (int i = 1; i <= SettingsDialogs::kCartLocationCount; ++i)
        Carts::State().AudiowallParts[static_cast<size_t>(i)].Location = "/srv/vntzel/audiowall";
    ZEL_Common::SplitRecord* split = Breaks::Split(1);
    split->SplitName = "North FM";
    split->LogSourceDirectory = "/srv/logs/incoming";
    split->LogDestinationDirectory = "/srv/logs/work";
    split->DateFormat = "YYMMDD";
    split->PreSuffix = "NF";
    split->Extension = "LOG";
    split->ReconcileExtension = "REC";
    split->LogUpdateInterval = 20;
}

Screenshots::Register fileLocations({"FileLocations", [] {
                                         SampleStation();
                                         return static_cast<QWidget*>(
                                             new SettingsDialogs::frmFileLocations);
                                     }});

Screenshots::Register logSettings({"LogSettings", [] {
                                       SampleStation();
                                       return static_cast<QWidget*>(
                                           new SettingsDialogs::frmLogSettings);
                                   }});

// One picture per tab of the general settings.
struct GeneralSettingsTab {
    explicit GeneralSettingsTab(int tab)
        : shot(
              {"GeneralSettings" + std::to_string(tab + 1),
               [] {
                   SampleStation();
                   MainSettings::Settings().General.LogWarningDays =
                       MainSettings::DefaultLogWarningDays();
                   return static_cast<QWidget*>(new SettingsDialogs::frmZELSettings);
               },
               [tab](QWidget* w) {
                   static_cast<SettingsDialogs::frmZELSettings*>(w)->tbsSettings()->setCurrentIndex(
                       tab);
               }}) {}
    Screenshots::Register shot;
};
GeneralSettingsTab generalTabs[] = {GeneralSettingsTab(0), GeneralSettingsTab(1),
                                    GeneralSettingsTab(2), GeneralSettingsTab(3),
                                    GeneralSettingsTab(4)};

Screenshots::Register networkSettings({"SerialControlSettings", [] {
                                           return static_cast<QWidget*>(
                                               new SettingsDialogs::frmZELNetworkSettings);
                                       }});

} // namespace
