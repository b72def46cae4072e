#include "tuning/frmFlennTweak.h"

#include "core/GeneralFunctions.h"
#include "core/Registry.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"
#include "player_controls/EngineSettings.h"
#include "settings_dialogs/DialogConventions.h"
#include "settings_dialogs/LibraryRegistration.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace FlennTweak {
namespace {

constexpr const char* kTitle = "Orbury FlennTweak";
constexpr const char* kTooOld = "This utility only works with FlennStream(TM) v2.6.0 or higher";
constexpr const char* kFlushBuffers = "FlushBuffers";
constexpr const char* kFadeMode = "FadeMode";
constexpr const char* kFlushLength = "FlushBufferLengthMS";

int Box(const std::string& text, int buttons) {
    return Platform::MsgBox(text, buttons, kTitle);
}

int32_t Stored(const char* name, int32_t fallback) {
    return Registry::GetRegLong(Platform::HKEY_LOCAL_MACHINE, EngineSettings::EngineRegistryKey,
                                name, fallback);
}

bool Store(const char* name, int32_t value, int32_t fallback) {
    return Registry::SaveRegLong(Platform::HKEY_LOCAL_MACHINE, EngineSettings::EngineRegistryKey,
                                 name, value, fallback);
}

// The library's label; the version when its registered file is there, else nothing.
std::optional<GeneralFunctions::FileVersionRecord> CheckLibrary(const char* key,
                                                                const std::string& product,
                                                                const std::string& shortName,
                                                                LibraryLabel& label) {
    std::string path = Registry::GetRegString(Platform::HKEY_LOCAL_MACHINE, key, "", "");
    double length = GeneralFunctions::SafeFileLen(path);
    if (length <= 0) {
        label = {" " + product + (length < 0 ? " is not installed!" : " is corrupted!"), true};
        return std::nullopt;
    }
    GeneralFunctions::FileVersionRecord v = GeneralFunctions::GetFileVersionText(path);
    label = {" " + shortName + " v" + std::to_string(v.FileMajor) + "." +
                 std::to_string(v.FileMinor) + "." + std::to_string(v.FileRevision) + " installed",
             false};
    return v;
}

} // namespace

void FlennTweakEngine::Open() {
    Box("This utility is used to adjust extremely sensitive settings in the FlennStream(TM) Audio "
        "Engine\n\nYou should not alter these settings without consulting with Orbury directly "
        "first.\n\nImproper use of this utility will cause your system severe problems.\n\n"
        "Orbury Ltd. accepts no responsiblity for the incorrect use of the this utility,\nand no "
        "warranty is provided, either express or implied for any damage caused by changing these "
        "settings.\n\nALWAYS MAKE A BACKUP OF YOUR SYSTEM BEFORE USING THIS UTILITY!",
        Platform::vbExclamation | Platform::vbOKOnly);
    CheckEngineLibrary();
    CheckPlayerLibrary();
    const EngineSettings::EngineRegistrySettings defaults;
    SetFlushBuffers(
        GeneralFunctions::ClampLong(Stored(kFlushBuffers, defaults.FlushBuffers), -1, 1) != 0);
    SetFadeMode(GeneralFunctions::ClampLong(Stored(kFadeMode, defaults.FadeMode), 0, 2));
    SetFlushMS(std::to_string(Stored(kFlushLength, defaults.FlushBufferLengthms)));
    saveEnabled_ = false;
    emit Changed();
}

void FlennTweakEngine::CheckEngineLibrary() {
    auto v = CheckLibrary(LibraryRegistration::kEngineLibraryKey, "FlennStream(TM) 2",
                          "FlennStream", engine_);
    editable_ = false;
    if (!v) return;
    if (v->FileMajor > 2 || (v->FileMajor == 2 && v->FileMinor >= 6)) editable_ = true;
    if (v->FileMajor < 2) Box(kTooOld, Platform::vbCritical);
}

void FlennTweakEngine::CheckPlayerLibrary() {
    auto v =
        CheckLibrary(LibraryRegistration::kPlayerLibraryKey, "Flenney(TM) 2", "Flenney", player_);
    if (!v) {
        editable_ = false;
        return;
    }
    if (editable_ && v->FileMajor < 2) {
        editable_ = false;
        Box(kTooOld, Platform::vbCritical);
    }
}

void FlennTweakEngine::Touched() {
    if (editable_) saveEnabled_ = true;
    emit Changed();
}

void FlennTweakEngine::SetFlushBuffers(bool on) {
    flushBuffers_ = on;
    Touched();
}

void FlennTweakEngine::SetFadeMode(int mode) {
    fadeMode_ = mode;
    Touched();
}

void FlennTweakEngine::SetFlushMS(const std::string& text) {
    flushMS_ = text;
    Touched();
}

bool FlennTweakEngine::Save() {
    std::optional<int32_t> length = VB::CLng(VB::Val(flushMS_));
    if ((flushBuffers_ && (!length || *length <= 0))) {
        Box("You must enter a number of milliseconds to flush the audio engine with",
            Platform::vbExclamation);
        return false;
    }
    if (!length) {
        Box("The flush duration is too large to be stored", Platform::vbExclamation);
        return false;
    }
    saveEnabled_ = false;
    const EngineSettings::EngineRegistrySettings defaults;
    bool stored = Store(kFlushBuffers, flushBuffers_ ? 1 : 0, defaults.FlushBuffers ? 1 : 0);
    stored = Store(kFadeMode, fadeMode_, defaults.FadeMode) && stored;
    stored = Store(kFlushLength, *length, defaults.FlushBufferLengthms) && stored;
    emit Changed();
    if (!stored) {
        // A store that cannot be written must not be reported as saved.
        saveEnabled_ = editable_;
        emit Changed();
        Box("Your settings could not be saved: the registry could not be written.",
            Platform::vbExclamation);
        return false;
    }
    Box("Your settings have been saved.\n\nRestart any FlennStream(TM) enabled programs for the "
        "changes to take effect.",
        Platform::vbInformation);
    return true;
}

frmFlennTweak::frmFlennTweak(QWidget* parent) : QWidget(parent) {
    setWindowTitle(kTitle);
    auto* top = new QVBoxLayout(this);
    auto* settings = new QGroupBox("FlennStream(TM) Advanced Settings:", this);
    settings->setObjectName("fraSettings");
    auto* grid = new QGridLayout(settings);
    comboFadeMode_ = new QComboBox(this);
    comboFadeMode_->addItems({"Normal Fading", "Start Fading slowly, then speed up",
                              "Start Fading quickly, then slow down"});
    chkFlushBuffers_ =
        new QCheckBox("Flush the Audio Engine with silence prior to each \"Cue\"", this);
    chkFlushBuffers_->setObjectName("chkFlushBuffers");
    lblFlushMSDesc_ = new QLabel("Flush Duration (milliseconds):", this);
    lblFlushMSDesc_->setObjectName("lblFlushMSDesc");
    txtFlushMS_ = new QLineEdit("1", this);
    cmdSave_ = new QPushButton("Save Settings", this);
    SettingsDialogs::SelectAllOnFocus(txtFlushMS_);
    auto* fadeLabel = new QLabel("Fade Mode:", this);
    fadeLabel->setObjectName("lblFadeMode");
    grid->addWidget(fadeLabel, 0, 0);
    grid->addWidget(comboFadeMode_, 0, 1);
    grid->addWidget(chkFlushBuffers_, 1, 0, 1, 2);
    grid->addWidget(lblFlushMSDesc_, 2, 0);
    grid->addWidget(txtFlushMS_, 2, 1);
    grid->addWidget(cmdSave_, 3, 1);
    top->addWidget(settings);
    auto* info = new QGroupBox("FlennStream(TM) Information:", this);
    info->setObjectName("fraFlennStreamInfo");
    auto* rows = new QGridLayout(info);
    lblFlennStreamVersion_ = new QLabel(this);
    lblFlenneyVersion_ = new QLabel(this);
    lblFlennStreamVersion_->setObjectName("lblFlennStreamVersion");
    lblFlenneyVersion_->setObjectName("lblFlenneyVersion");
    rows->addWidget(new QLabel("FlennStream Version:", this), 0, 0);
    rows->addWidget(lblFlennStreamVersion_, 0, 1);
    rows->addWidget(new QLabel("Flenney Version:", this), 1, 0);
    rows->addWidget(lblFlenneyVersion_, 1, 1);
    top->addWidget(info);

    connect(comboFadeMode_, &QComboBox::activated, &engine_, &FlennTweakEngine::SetFadeMode);
    connect(chkFlushBuffers_, &QCheckBox::clicked, &engine_, &FlennTweakEngine::SetFlushBuffers);
    connect(txtFlushMS_, &QLineEdit::textEdited, this,
            [this](const QString& text) { engine_.SetFlushMS(SettingsDialogs::Typed(text)); });
    connect(cmdSave_, &QPushButton::clicked, &engine_, &FlennTweakEngine::Save);
    connect(&engine_, &FlennTweakEngine::Changed, this, &frmFlennTweak::Mirror);
    Mirror();
}

void frmFlennTweak::Mirror() {
    if (mirroring_) return;
    mirroring_ = true;
    const FlennTweakEngine& e = engine_;
    auto showLabel = [](QLabel* label, const LibraryLabel& state) {
        label->setText(SettingsDialogs::Shown(state.Text));
        label->setStyleSheet(state.Failed ? "color: #FFFFFF; background: #FF0000;" : "");
    };
    showLabel(lblFlennStreamVersion_, e.EngineLabel());
    showLabel(lblFlenneyVersion_, e.PlayerLabel());
    comboFadeMode_->setCurrentIndex(e.FadeMode());
    chkFlushBuffers_->setChecked(e.FlushBuffers());
    if (txtFlushMS_->text() != SettingsDialogs::Shown(e.FlushMS()))
        txtFlushMS_->setText(SettingsDialogs::Shown(e.FlushMS()));
    bool flushOn = e.SettingsEditable() && e.FlushBuffers();
    comboFadeMode_->setEnabled(e.SettingsEditable());
    chkFlushBuffers_->setEnabled(e.SettingsEditable());
    lblFlushMSDesc_->setEnabled(flushOn);
    SettingsDialogs::SetBoxEnabled(txtFlushMS_, flushOn);
    cmdSave_->setEnabled(e.SaveEnabled());
    mirroring_ = false;
}

} // namespace FlennTweak
