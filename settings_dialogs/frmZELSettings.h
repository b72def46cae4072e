#pragma once
// The general settings dialog: start-up and break behaviour, log reloading and dropping,
// reconciliation files, network control and the ZOZ link, the log warnings week, the audio
// router line and the end-of-break signal.
#include "settings_dialogs/DialogConventions.h"
#include "settings_dialogs/LogWarningWeek.h"

#include <QObject>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QTabWidget;

namespace SettingsDialogs {

class FloatingCellEditor;

// The dialog's controls, as values.
struct ZELSettingsControls {
    // General Settings
    bool DebugMode = false;
    bool HidePlayerControls = false;
    bool CueAdBreaksImmediately = false;
    bool AutoPlayBreaks = false;
    bool ShowCartGroups = false;
    bool AllowBreaksDuringCarts = false;
    bool AllowCartsDuringBreaks = false;
    // Network Control/ZOZ Info
    std::string ZOZServer;
    int ZOZPort = 0; // list position, port - 1; -1 none
    std::string NetworkMaster;
    bool SendPlayerCommands = false;
    bool RespondPlayCommands = false;
    bool RespondBreakCommands = false;
    bool SendPlayFromHardware = false;
    // Log Settings
    int LogLoadingMode = 0;    // -1: no option selected
    std::string LogLoadDaily;  // "hh:mm:ss"
    std::string LogLoadHourly; // "mm:ss"
    bool DropBreak = false;
    std::string DropMins;
    bool LogCartGroups = false;
    bool LogWhenController = false;
    int RecFileLocation = 0; // 0 source, 1 destination directory
    // Hardware/Router Control
    bool MuteSource = false;
    std::string SourceHWLine;
    std::string SecsBeforeSignalling;
    std::string NumberSecsToSignal;
};

// "/DEBUG" on the command line: the trace level is fixed at every line.
bool DebugModeForced();
// A single-precision value in its shortest decimal form ("0.5", "300").
std::string ShortestSingle(float value);

class ZELSettingsEngine : public QObject {
    Q_OBJECT
public:
    // Fills the controls from the in-memory settings.
    ZELSettingsEngine();

    const ZELSettingsControls& Controls() const { return controls_; }
    void SetControls(const ZELSettingsControls& controls);
    LogWarningWeek& Week() { return week_; }

    // The time boxes on losing the focus: past the end of the day or hour they hold the last
    // second; then they are rewritten in their own format.
    void NormaliseDaily();
    void NormaliseHourly();

    // Checks, then sets and writes every setting; false when a check failed.
    bool Apply();

signals:
    void Changed();

private:
    ZELSettingsControls controls_;
    LogWarningWeek week_;
};

class frmZELSettings : public SettingsForm {
    Q_OBJECT
public:
    explicit frmZELSettings(QWidget* parent = nullptr);
    ZELSettingsEngine& Engine() { return engine_; }
    QTabWidget* tbsSettings() const { return tabs_; }
    QTableWidget* gridWeek() const { return gridWeek_; }
    FloatingCellEditor* txtLogWarning() const { return txtLogWarning_; }
    // A control by its name ("txtSecsBeforeSignalling", "chkDropBreak", ...).
    template <typename T> T* Control(const char* name) const { return findChild<T*>(name); }

private:
    void Forward();
    void Mirror();

    ZELSettingsEngine engine_;
    QTabWidget* tabs_;
    QTableWidget* gridWeek_;
    FloatingCellEditor* txtLogWarning_;
    bool pressedOnGrid_ = false;
    bool mirroring_ = false;
};

// The menu command: the dialog modally; the ZOZ client and the master link are reconnected
// by the callbacks when their settings changed (Apply then Cancel counts).
void ShowZELSettings(QWidget* owner, const std::function<void()>& connectToZOZ,
                     const std::function<void()>& reconnectMaster);

} // namespace SettingsDialogs
