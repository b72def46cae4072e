#pragma once
// The state and procedures of one player window, apart from the display: the panels' texts
// and colours, the buttons, the position and status refreshes, seeks, drops and keys.
#include "carts/PlayerTable.h"

#include <QObject>
#include <array>
#include <cstdint>
#include <string>

namespace CartPlayers {

constexpr int32_t kBlue = 0x00FF0000;
constexpr int32_t kLightGreen = 0x0080FF80;
constexpr int32_t kRed = 0x000000FF;
constexpr int32_t kYellow = 0x0000FFFF;
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);

// A panel as the window shows it; places in twips.
struct PanelState {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    std::string Caption;
    int32_t BackColor = kButtonFace;
    int32_t FloodColor = kBlue;
    float FloodPercent = 0;
    bool Visible = true;
};

struct ButtonState {
    int32_t Left = 0, Top = 0, Width = 315, Height = 315; // inside picControls
    bool Enabled = false;
    std::string Picture; // image-list key
};

// Cart Display sub-codes of the hardware action 4.
enum CartDisplayLine : int16_t {
    cdPlaying = 0,
    cdIsCuedReady = 1,
    cdDuringIntro = 2,
    cdAfterExtro = 3,
    cdCuedExtroFlashing = 4,
    cdPlayingExtroFlashing = 5,
};

// Mouse buttons and shift bits as the window's events give them.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int16_t kShiftMask = 1;
constexpr int16_t kCtrlMask = 2;
constexpr int16_t kAltMask = 4;

class AudioPlayerEngine : public QObject, public PlayerNoticeListener {
    Q_OBJECT
public:
    explicit AudioPlayerEngine(QObject* parent = nullptr);
    ~AudioPlayerEngine() override;

    int16_t PlayerNumber() const { return playerNumber_; }
    void SetPlayerNumber(int16_t number) { playerNumber_ = number; }

    // Load registers the window for every notice; Unload removes it.
    void Load();
    void Unload();

    void PlayerStatusNotice(int32_t& NoticeCode, int16_t& PlayerNumber, int32_t& Data) override;
    void UpdateCaption();
    void RefreshStatusDisplay();
    void RefreshPositionDisplay();

    // Lays the right-hand column out for an inner width in twips.
    void LayOut(int32_t innerWidth);
    void SetControlsVisible(bool visible);

    // Input forwarded by the display.
    void DropCart(const std::string& tag);
    void BarMouseDown(int button, int16_t shift, float x);
    void BarMouseMove(int button, int16_t shift, float x);
    void cmdPlayPause_MouseUp();
    void cmdCue_MouseUp();
    void cmdEject_MouseUp();
    // The key code left after the player keys took theirs (0 = used).
    int16_t KeyDown(int16_t keyCode, int16_t shift);

    // The player control's events, after the operations' own handling.
    void FlennPlayer_Playing();
    void FlennPlayer_Paused();
    void FlennPlayer_Cued();
    void FlennPlayer_Opened();
    void FlennPlayer_Closed();
    void FlennPlayer_IntroStartReached();
    void FlennPlayer_IntroEndReached();
    void FlennPlayer_ExtroReached();
    void FlennPlayer_AudioEndReached();
    void FlennPlayer_HookStartReached();
    void FlennPlayer_HookEndReached();

    PanelState pnlPlayerNo, pnlCartNo, pnlCaption, statusPanel, pnlTimeIn, pnlTimeFlood, pnlTimeOut,
        pnlOverallTime, picControls;
    ButtonState cmdPlayPause, cmdCue, cmdEject;

    float LastFloodPercent = -1;
    float LastOverallPercent = -1;
    std::string LastTimeInText;
    std::string LastTimeOutText;
    int16_t LastSeekX = 0;

signals:
    // Something shown changed.
    void Changed();

private:
    CartPlayerRecord& Player() const;
    void ResetRemembered();
    // Sets the six Cart Display lines in the order 0, 5, 1, 4, 2, 3.
    void SetDisplayLines(const std::array<int16_t, 6>& modes);
    void SetDisplayLine(CartDisplayLine line, int16_t mode);
    void ApplyCartOutput(int16_t code);
    void SetBarsToZero();

    int16_t playerNumber_ = 0;
    bool loaded_ = false;
};

} // namespace CartPlayers
