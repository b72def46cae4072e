// The settings dialogs and the tuning window, filled with a sample station's values.
#include "Screenshots.h"

#include "breaks/BreaksState.h"
#include "carts/CartsState.h"
#include "core/MainSettings.h"
#include "settings_dialogs/LibraryRegistration.h"
#include "settings_dialogs/frmAudioSetup.h"
#include "settings_dialogs/frmCartGroups.h"
#include "settings_dialogs/frmFileLocations.h"
#include "settings_dialogs/frmLogSettings.h"
#include "settings_dialogs/frmZELNetworkSettings.h"
#include "settings_dialogs/frmZELSettings.h"
#include "tuning/frmFlennTweak.h"

#include <QTabWidget>

namespace {

void SampleStation() {
    MainSettings::Settings().DataFolder = "/srv/vntzel/data";
    MainSettings::Settings().General.LogWarningDays = MainSettings::DefaultLogWarningDays();
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

Screenshots::Shot Shot(std::string name, std::function<QWidget*()> make,
                       std::function<void(QWidget*)> prepare = {}) {
    return Screenshots::Shot{std::move(name),
                             [make] {
                                 SampleStation();
                                 return make();
                             },
                             std::move(prepare),
                             {}};
}

// One picture per tab of a tabbed dialog.
template <class Form>
void RegisterTabs(const std::string& name, int tabs, std::function<Form*()> make,
                  QTabWidget* (Form::*tabWidget)() const) {
    for (int tab = 0; tab < tabs; ++tab)
        Screenshots::Register(Shot(
            name + std::to_string(tab + 1), [make] { return make(); },
            [tab, tabWidget](QWidget* w) {
                (static_cast<Form*>(w)->*tabWidget)()->setCurrentIndex(tab);
            }));
}

const bool registered = [] {
    Screenshots::Register(
        Shot("FileLocations", [] { return new SettingsDialogs::frmFileLocations; }));
    Screenshots::Register(Shot("LogSettings", [] { return new SettingsDialogs::frmLogSettings; }));
    Screenshots::Register(
        Shot("SerialControlSettings", [] { return new SettingsDialogs::frmZELNetworkSettings; }));
    RegisterTabs<SettingsDialogs::frmZELSettings>(
        "GeneralSettings", 5, [] { return new SettingsDialogs::frmZELSettings; },
        &SettingsDialogs::frmZELSettings::tbsSettings);
    RegisterTabs<SettingsDialogs::frmAudioSetup>(
        "AudioSetup", 5,
        [] {
            auto* form = new SettingsDialogs::frmAudioSetup;
            form->Engine().SetLimitedMode(true);
            return form;
        },
        &SettingsDialogs::frmAudioSetup::tbsView);
    RegisterTabs<SettingsDialogs::frmCartGroups>(
        "CartGroupEditor", 2,
        [] {
            Breaks::CartGroupRecord* group = Breaks::CartGroup(1);
            group->Description = "Station idents";
            group->CartNumber(1) = 1001;
            group->CartNumber(2) = 1002;
            group->SelectionMode = 1;
            Breaks::CartGroupState().CartGroupPageDescription = {"Idents", "Beds", "Jingles",
                                                                 "Promos", "Specials"};
            return new SettingsDialogs::frmCartGroups;
        },
        &SettingsDialogs::frmCartGroups::tbsOptions);
    // The tuning window on this build's own libraries, its warning box answered.
    Screenshots::Register(Shot("FlennTweak", [] {
        LibraryRegistration::RegisterLibraries();
        auto* window = new FlennTweak::frmFlennTweak;
        window->Engine().Open();
        return window;
    }));
    return true;
}();

} // namespace
