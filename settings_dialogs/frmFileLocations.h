#pragma once
// The file locations dialog: the data folder and the folders of the eleven audiowall parts.
#include "settings_dialogs/DialogConventions.h"

#include <QObject>
#include <array>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace SettingsDialogs {

constexpr int kCartLocationCount = 11;

// The dialog's state and handlers, without widgets.
class FileLocationsEngine : public QObject {
    Q_OBJECT
public:
    // Fills the boxes from the in-memory locations (the window's load).
    FileLocationsEngine();

    const std::string& IniFile() const { return iniFile_; }
    // Stores the name and reloads the boxes from that file, the in-memory values standing in
    // for missing keys.
    void SetIniFile(const std::string& name);

    const std::string& DataText() const { return data_; }
    void SetDataText(const std::string& text);
    // Box i, 1..11.
    const std::string& CartText(int i) const { return carts_.at(static_cast<size_t>(i)); }
    void SetCartText(int i, const std::string& text);
    bool UseOneCartLocation() const { return useOne_; }
    void SetUseOneCartLocation(bool on);
    // Ticks "one directory" when boxes 2 to 11 all match box 1; never clears it.
    void CheckSingleCartLocation();

    // Browse buttons: part 0 is the data box, 1..11 the part boxes.
    void Browse(int part, QWidget* owner);
    // OK: true when the locations were saved and the window may close.
    bool Done();

signals:
    void Changed();

private:
    void CopyFirstCartText();

    std::string iniFile_;
    std::string data_;
    std::array<std::string, kCartLocationCount + 1> carts_; // entry 0 unused
    bool useOne_ = false;
};

// A location in the dialog's normal form: trimmed, one trailing separator removed, the case
// kept as typed (host folders are case-sensitive).
std::string NormalLocation(const std::string& text);

class frmFileLocations : public SettingsForm {
    Q_OBJECT
public:
    explicit frmFileLocations(QWidget* parent = nullptr);
    FileLocationsEngine& Engine() { return engine_; }
    QLineEdit* txtDataLocation() const { return txtDataLocation_; }
    QLineEdit* txtCartLocations(int i) const {
        return txtCartLocations_.at(static_cast<size_t>(i));
    }
    QCheckBox* chkUseOneCartLocation() const { return chkUseOneCartLocation_; }
    QPushButton* cmdDone() const { return cmdDone_; }

private:
    void Mirror();

    FileLocationsEngine engine_;
    QLineEdit* txtDataLocation_;
    std::array<QLineEdit*, kCartLocationCount + 1> txtCartLocations_{};
    std::array<QLabel*, kCartLocationCount + 1> labels_{};
    std::array<QPushButton*, kCartLocationCount + 1> browse_{};
    QCheckBox* chkUseOneCartLocation_;
    QPushButton* cmdDone_;
};

// Opens the dialog modally on the main settings file (the menu command and the start-up).
void ShowFileLocations(QWidget* owner = nullptr);

} // namespace SettingsDialogs
