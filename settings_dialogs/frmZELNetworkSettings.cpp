#include "settings_dialogs/frmZELNetworkSettings.h"

#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SaveReport.h"
#include "core/SerialSettings.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/VB.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace SettingsDialogs {
namespace {

constexpr int kLastPort = 4;
constexpr int kLastHandshaking = 3;

// The "*.PRF" files of the program's folder, in name order ignoring case.
std::vector<std::string> ProfileFiles() {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(Platform::HostPath(Platform::AppFolder()), ec)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file(ec) && name.size() > 4 &&
            VB::UCase(name.substr(name.size() - 4)) == ".PRF")
            files.push_back(name);
    }
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return VB::UCase(a) < VB::UCase(b);
    });
    return files;
}

std::string ProfilePath(const std::string& file) {
    return Platform::JoinPath(Platform::AppFolder(), file);
}

} // namespace

ZELNetworkSettingsEngine::ZELNetworkSettingsEngine() {
    const SerialSettings::SerialControlSettings& s = SerialSettings::Settings();
    controls_.SerialSettings = s.SerialSettings;
    controls_.Handshaking = std::clamp<int>(s.SerialHandshaking, 0, kLastHandshaking);
    for (const std::string& file : ProfileFiles()) {
        profiles_.push_back({Platform::GetPrivateProfileString("General", "ProfileName",
                                                               "No Name Found", ProfilePath(file)),
                             file});
        if (VB::UCase(file) == VB::UCase(s.SerialProfileName))
            ChooseProfile(static_cast<int>(profiles_.size()) - 1);
    }
    // The stored values stand, whatever the profile said; out-of-range ones are held in range.
    controls_.UseCommPort = s.UseSerial != 0;
    controls_.BouncePort = std::clamp<int>(s.SerialBouncePort, 0, kLastPort);
    controls_.SerialPort = std::clamp<int>(s.SerialPort, 0, kLastPort);
    controls_.Handshaking = std::clamp<int>(s.SerialHandshaking, 0, kLastHandshaking);
    controls_.SerialSettings = s.SerialSettings;
}

void ZELNetworkSettingsEngine::SetControls(const SerialControls& controls) {
    bool chosen = controls.DataProfile != controls_.DataProfile;
    controls_ = controls;
    if (chosen) ChooseProfile(controls.DataProfile);
    emit Changed();
}

void ZELNetworkSettingsEngine::ChooseProfile(int position) {
    if (position < 0 || position >= static_cast<int>(profiles_.size())) return;
    controls_.DataProfile = position;
    const std::string file = ProfilePath(profiles_[static_cast<size_t>(position)].FileName);
    controls_.SerialSettings =
        Platform::GetPrivateProfileString("Serial", "Settings", controls_.SerialSettings, file);
    int handshaking =
        Platform::GetPrivateProfileInt("Serial", "Handshaking", controls_.Handshaking, file);
    if (handshaking >= 0 && handshaking <= kLastHandshaking) controls_.Handshaking = handshaking;
    emit Changed();
}

bool ZELNetworkSettingsEngine::Ok() {
    SerialSettings::SerialControlSettings& s = SerialSettings::Settings();
    const SerialControls& c = controls_;
    s.UseSerial = c.UseCommPort ? 1 : 0;
    s.SerialBouncePort = static_cast<int16_t>(c.BouncePort);
    s.SerialPort = static_cast<int16_t>(c.SerialPort);
    s.SerialHandshaking = static_cast<int16_t>(c.Handshaking);
    s.SerialSettings = c.SerialSettings;
    // With no profile chosen the stored one stays: an empty name loads no command codes.
    if (c.DataProfile >= 0)
        s.SerialProfileName = profiles_[static_cast<size_t>(c.DataProfile)].FileName;
    const std::string& ini = MainSettings::Settings().MainIniFile;
    GeneralFunctions::SaveReport saved;
    auto write = [&ini, &saved](const char* key, const std::string& value) {
        saved.Take(Platform::WritePrivateProfileString("ZELNetwork", key, value, ini));
    };
    write("UseSerial", std::to_string(s.UseSerial));
    write("SerialPort", std::to_string(s.SerialPort));
    write("SerialBouncePort", std::to_string(s.SerialBouncePort));
    write("SerialHandshaking", std::to_string(s.SerialHandshaking));
    write("SerialProfileName", s.SerialProfileName);
    write("SerialSettings", s.SerialSettings);
    if (!GeneralFunctions::ConfirmSave(saved, "frmZELNetworkSettings", ini)) return false;
    Box("You must restart Vantor ZEL Network to use the new settings.\n\nPlease note that some "
        "settings have already been changed, \nand the system may not perform as expected until "
        "it is restarted.",
        Platform::vbInformation);
    return true;
}

frmZELNetworkSettings::frmZELNetworkSettings(QWidget* parent) : SettingsForm(parent) {
    setWindowTitle("ZEL Network Settings");
    auto* top = new QVBoxLayout(this);
    chkUseCommPort_ = new QCheckBox("Use Serial Communications", this);
    top->addWidget(chkUseCommPort_);
    auto* frame = new QGroupBox(this);
    frameUseSerial_ = frame;
    frame->setObjectName("frameUseSerial");
    auto* rows = new QFormLayout(frame);
    const QStringList ports = {"None", "Serial Port 1", "Serial Port 2", "Serial Port 3",
                               "Serial Port 4"};
    auto combo = [this](const QStringList& items) {
        auto* box = new QComboBox(this);
        box->addItems(items);
        connect(box, &QComboBox::activated, this, &frmZELNetworkSettings::Forward);
        return box;
    };
    comboSerialPort_ = combo(ports);
    comboSerialPort_->setObjectName("comboSerialPort");
    comboBouncePort_ = combo(ports);
    comboBouncePort_->setObjectName("comboBouncePort");
    comboHandshaking_ =
        combo({"None", "Hardware (XON/XOFF)", "RTS/CTS", "RTS/CTS + Hardware (XON/XOFF)"});
    // Every choice of a profile loads it, the one already shown included.
    comboDataProfile_ = new QComboBox(this);
    for (const DataProfileEntry& profile : engine_.Profiles())
        comboDataProfile_->addItem(Shown(profile.ProfileName));
    connect(comboDataProfile_, &QComboBox::activated, &engine_,
            &ZELNetworkSettingsEngine::ChooseProfile);
    txtSerialSettings_ = new QLineEdit(this);
    connect(txtSerialSettings_, &QLineEdit::textEdited, this, &frmZELNetworkSettings::Forward);
    rows->addRow("Incoming Data:", comboSerialPort_);
    rows->addRow("Bounce Port:", comboBouncePort_);
    auto* settingsRow = new QHBoxLayout;
    settingsRow->addWidget(txtSerialSettings_);
    settingsRow->addWidget(new QLabel("ie 9600,n,8,1", this));
    rows->addRow("Serial Settings:", settingsRow);
    rows->addRow("Handshaking", comboHandshaking_);
    rows->addRow("Data Profile:", comboDataProfile_);
    top->addWidget(frame);
    AddButtonRow(top, [this] { return engine_.Ok(); });
    connect(chkUseCommPort_, &QCheckBox::clicked, this, &frmZELNetworkSettings::Forward);
    connect(&engine_, &ZELNetworkSettingsEngine::Changed, this, &frmZELNetworkSettings::Mirror);
    Mirror();
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

void frmZELNetworkSettings::Forward() {
    if (mirroring_) return;
    SerialControls c = engine_.Controls();
    c.UseCommPort = chkUseCommPort_->isChecked();
    c.SerialPort = comboSerialPort_->currentIndex();
    c.BouncePort = comboBouncePort_->currentIndex();
    c.Handshaking = comboHandshaking_->currentIndex();
    c.SerialSettings = Typed(txtSerialSettings_->text());
    engine_.SetControls(c);
}

void frmZELNetworkSettings::Mirror() {
    mirroring_ = true;
    const SerialControls& c = engine_.Controls();
    chkUseCommPort_->setChecked(c.UseCommPort);
    comboSerialPort_->setCurrentIndex(c.SerialPort);
    comboBouncePort_->setCurrentIndex(c.BouncePort);
    comboHandshaking_->setCurrentIndex(c.Handshaking);
    comboDataProfile_->setCurrentIndex(c.DataProfile);
    if (txtSerialSettings_->text() != Shown(c.SerialSettings))
        txtSerialSettings_->setText(Shown(c.SerialSettings));
    frameUseSerial_->setEnabled(c.UseCommPort);
    for (QWidget* box :
         std::initializer_list<QWidget*>{comboSerialPort_, comboBouncePort_, comboHandshaking_,
                                         comboDataProfile_, txtSerialSettings_})
        SetBoxEnabled(box, c.UseCommPort);
    mirroring_ = false;
}

void ShowZELNetworkSettings(QWidget* owner) {
    auto* form = new frmZELNetworkSettings(owner);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
}

} // namespace SettingsDialogs
