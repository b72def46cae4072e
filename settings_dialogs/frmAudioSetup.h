#pragma once
// The audio setup dialog: the cart players and their devices, colours and usage order, the
// volumes and fade point, the recording format and device, the audio editor, the cart-list
// storage, the engine's debugging level and the audiowall's own two options.
#include "core/MultimediaAPI.h"
#include "settings_dialogs/DialogConventions.h"

#include <QObject>
#include <array>
#include <string>
#include <vector>

class QTabWidget;

namespace SettingsDialogs {

constexpr int kPlayerRows = 6; // rows shown; only players 1 to 4 exist
constexpr int kMaxCartPlayers = 4;

struct AudioSetupControls {
    // Cart Players
    std::string NumberCartPlayers;
    bool AutoMode = true;
    std::array<int, kPlayerRows + 1> CartPlayer{}; // device entry of row i (entry 0 = default)
    int RecordPlayer = -1;                         // input device entry, -1 none
    int ICPlayer = -1;                             // "Player 1".. entry, -1 none
    bool PlayersAsToolbars = false;
    // Player Colours
    std::array<int32_t, kPlayerRows + 1> BackColour{};
    std::array<int32_t, kPlayerRows + 1> ForeColour{};
    // Playback Settings
    bool OnlyAllowEjectStoppedCarts = false;
    int FirstPlayerOrder = -1; // 0..4 "Cart Player n", 5 "the last Cart Player!"
    int LastPlayerOrder = -1;
    bool PlayInstant = false;
    std::string FadePercent;
    std::string GeneralVolume;
    bool Ducking = true;
    std::string DuckVolume;
    std::string SweeperVol;
    std::string CartVolume;
    std::string CartGroupVolume;
    std::string AdvertVolume;
    // Recording/Editing Settings
    bool AllowDifferentFormat = false;
    bool RecordLocal = false;
    int EditPlayer = -1; // 0 "the last player", 1.. "Player n"
    std::string AudioEditor;
    int EditPriority = 0;
    bool RunEditorIdleSpeed = false;
    // Advanced
    bool MaintainLegacy = false;
    bool UseIndividualCartFiles = false;
    bool LockPlayerWhenRecording = false;
    int RecordingLockPlayer = 0;
    bool AllowAudioFileLinking = false;
    bool UseCopyrightInCartChunk = false;
    bool UseLargeFSBuffers = false;
    bool UseLegacyCopyMode = false;
    int Debug = 0;
};

class AudioSetupEngine : public QObject {
    Q_OBJECT
public:
    // The loading: devices, clamps (which change the settings themselves) and controls.
    AudioSetupEngine();

    const AudioSetupControls& Controls() const { return controls_; }
    // User edits; a player count above 4 becomes "4".
    void SetControls(const AudioSetupControls& controls);
    // Leaving the fade, normal-volume or sweeper box: held within 0..100.
    void LeavePercentBox(std::string AudioSetupControls::*box);

    bool LimitedMode() const { return limitedMode_; }
    void SetLimitedMode(bool on);

    // Device names: outputs with entry 0 the default device; inputs from device 0.
    const std::vector<std::string>& OutputDevices() const { return outputs_; }
    const std::vector<std::string>& InputDevices() const { return inputs_; }
    // Row i of the device lists is live: manual assignment and at least i players.
    bool RowLive(int i) const;
    // The instant-cart list and the usage order are enabled while there are players.
    bool PlayersEntered() const;
    std::string FormatText();
    bool TuningAvailable() const;

    void ChooseFormat(QWidget* owner);
    void ChooseEditor(QWidget* owner);
    void CheckFileCache();
    void StartTuning();
    // OK: checks, stores, writes; true when the dialog hides.
    bool Ok();
    // Cancel, Esc: the tag is cleared and the dialog hides.
    void Cancel() { tag_.clear(); }
    // Activation: true when the focus goes to the player-count box.
    bool Activate();

signals:
    void Changed();

private:
    AudioSetupControls controls_;
    MultimediaAPI::WaveFormatInfo format_{};
    std::vector<std::string> outputs_;
    std::vector<std::string> inputs_;
    bool limitedMode_ = false;
    std::string tag_;
};

class frmAudioSetup : public SettingsForm {
    Q_OBJECT
public:
    explicit frmAudioSetup(QWidget* parent = nullptr);
    AudioSetupEngine& Engine() { return engine_; }
    QTabWidget* tbsView() const { return tabs_; }
    template <typename T> T* Control(const char* name) const { return findChild<T*>(name); }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Forward();
    void Mirror();

    AudioSetupEngine engine_;
    QTabWidget* tabs_;
    bool mirroring_ = false;
};

// The menu command: the one dialog of the run, LimitedMode set, shown modally.
void ShowAudioSetup(QWidget* owner);

} // namespace SettingsDialogs
