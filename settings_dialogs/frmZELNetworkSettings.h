#pragma once
// The serial control settings dialog: whether serial command packets are used, the command
// and bounce ports, the port settings and handshaking, and the data profile in force.
#include "settings_dialogs/DialogConventions.h"

#include <QObject>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace SettingsDialogs {

struct DataProfileEntry {
    std::string ProfileName; // shown in the list
    std::string FileName;    // in the program's folder, without the folder
};

struct SerialControls {
    bool UseCommPort = false;
    int SerialPort = 0;  // 0 none, 1..4
    int BouncePort = 0;  // 0 none, 1..4
    int Handshaking = 0; // 0..3
    std::string SerialSettings;
    int DataProfile = -1; // position in Profiles(), -1 none chosen
};

class ZELNetworkSettingsEngine : public QObject {
    Q_OBJECT
public:
    // Lists the profiles of the program's folder and shows the stored settings.
    ZELNetworkSettingsEngine();

    const std::vector<DataProfileEntry>& Profiles() const { return profiles_; }
    const SerialControls& Controls() const { return controls_; }
    void SetControls(const SerialControls& controls);
    // Choosing a profile loads its settings text and handshaking.
    void ChooseProfile(int position);
    // Stores and writes the settings and tells the user to restart; the window may close.
    bool Ok();

signals:
    void Changed();

private:
    std::vector<DataProfileEntry> profiles_;
    SerialControls controls_;
};

class frmZELNetworkSettings : public SettingsForm {
    Q_OBJECT
public:
    explicit frmZELNetworkSettings(QWidget* parent = nullptr);
    ZELNetworkSettingsEngine& Engine() { return engine_; }
    QCheckBox* chkUseCommPort() const { return chkUseCommPort_; }
    QComboBox* comboDataProfile() const { return comboDataProfile_; }
    QComboBox* comboHandshaking() const { return comboHandshaking_; }
    QLineEdit* txtSerialSettings() const { return txtSerialSettings_; }

private:
    void Forward();
    void Mirror();

    ZELNetworkSettingsEngine engine_;
    QCheckBox* chkUseCommPort_;
    QComboBox* comboSerialPort_;
    QComboBox* comboBouncePort_;
    QComboBox* comboHandshaking_;
    QComboBox* comboDataProfile_;
    QLineEdit* txtSerialSettings_;
    QWidget* frameUseSerial_;
    bool mirroring_ = false;
};

// The menu command: the dialog modeless.
void ShowZELNetworkSettings(QWidget* owner);

} // namespace SettingsDialogs
