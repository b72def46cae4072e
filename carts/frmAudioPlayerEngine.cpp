#include "carts/frmAudioPlayerEngine.h"

#include "carts/Audio_Player_FN.h"
#include "carts/HardwareLines.h"
#include "carts/PlayerServices.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/VB.h"
#include "player_controls/FlennPlayer.h"

#include <algorithm>
#include <cmath>

namespace CartPlayers {

namespace {

constexpr int16_t kCartDisplayAction = 4;
constexpr int16_t kAny = 255;
constexpr int32_t kGap = 60;
constexpr int32_t kTwoLineWidth = 4000;
constexpr int32_t kThreeLineWidth = 8000;

PanelState Panel(int32_t left, int32_t top, int32_t width, int32_t height) {
    PanelState p;
    p.Left = left;
    p.Top = top;
    p.Width = width;
    p.Height = height;
    return p;
}

std::string Duration(double seconds, int32_t style) {
    return GeneralFunctions::FormatDuration(seconds, style);
}

// The units digit alone: the panel counts down 9 .. 1.
std::string LastCharacter(const std::string& text) {
    return text.empty() ? text : text.substr(text.size() - 1);
}

} // namespace

AudioPlayerEngine::AudioPlayerEngine(QObject* parent)
    : QObject(parent), pnlPlayerNo(Panel(60, 60, 255, 315)), pnlCartNo(Panel(360, 60, 795, 315)),
      pnlCaption(Panel(1200, 60, 5955, 315)), statusPanel(Panel(1200, 60, 5955, 315)),
      pnlTimeIn(Panel(60, 420, 1095, 315)), pnlTimeFlood(Panel(1200, 420, 5955, 255)),
      pnlTimeOut(Panel(7200, 420, 1035, 315)), pnlOverallTime(Panel(1200, 660, 5955, 60)),
      picControls(Panel(7200, 60, 1035, 675)) {
    statusPanel.Visible = false;
    cmdPlayPause.Picture = "enPlay";
    cmdCue.Left = 360;
    cmdEject.Left = 720;
}

AudioPlayerEngine::~AudioPlayerEngine() {
    Unload();
}

void AudioPlayerEngine::Load() {
    if (loaded_) return;
    Audio_Player_FN::AddNoticeListener(this, ncEverything);
    loaded_ = true;
}

void AudioPlayerEngine::Unload() {
    if (!loaded_) return;
    Audio_Player_FN::RemoveNoticeListener(this);
    loaded_ = false;
}

CartPlayerRecord& AudioPlayerEngine::Player() const {
    return Record(playerNumber_);
}

void AudioPlayerEngine::PlayerStatusNotice(int32_t& NoticeCode, int16_t& PlayerNumber, int32_t&) {
    if (PlayerNumber != playerNumber_ || playerNumber_ < 1 || playerNumber_ > kMaxPlayers) return;
    switch (NoticeCode) {
    case pnEjectFinished:
    case pnLoaded:
    case pnCued:
    case pnPaused:
    case pnPlayed:
        RefreshStatusDisplay();
        break;
    case pnPosition:
        RefreshPositionDisplay();
        break;
    default:
        return; // the recorder's position (247) and the rest change nothing
    }
    emit Changed();
}

void AudioPlayerEngine::UpdateCaption() {
    const Vantor_Cart_Routines::CartRecord& cart = Player().Cart;
    std::string caption = " " + cart.Description1;
    if (pnlCaption.Width >= kTwoLineWidth) caption += cart.Description2;
    if (pnlCaption.Width >= kThreeLineWidth) caption += cart.Description3;
    pnlCaption.Caption = caption;
    emit Changed();
}

void AudioPlayerEngine::ResetRemembered() {
    LastTimeInText.clear();
    LastTimeOutText.clear();
    LastFloodPercent = -1;
    LastOverallPercent = -1;
}

void AudioPlayerEngine::SetBarsToZero() {
    pnlTimeFlood.FloodPercent = 0;
    pnlOverallTime.FloodPercent = 0;
}

void AudioPlayerEngine::RefreshStatusDisplay() {
    CartPlayerRecord& player = Player();
    switch (player.Status) {
    case Cued:
        SetBarsToZero();
        break;
    case Selected:
        ResetRemembered();
        pnlCartNo.Caption = std::to_string(player.CartNumber);
        UpdateCaption();
        pnlTimeFlood.FloodColor = kBlue;
        pnlTimeOut.BackColor = kButtonFace;
        pnlTimeFlood.BackColor = kButtonFace;
        SetBarsToZero();
        pnlCartNo.BackColor = kButtonFace;
        break;
    case Empty:
        ResetRemembered();
        pnlTimeIn.Caption.clear();
        pnlTimeOut.Caption.clear();
        pnlCaption.Caption.clear();
        pnlCartNo.Caption.clear();
        SetBarsToZero();
        pnlOverallTime.BackColor = kButtonFace;
        pnlTimeFlood.BackColor = kButtonFace;
        pnlTimeOut.BackColor = kButtonFace;
        pnlTimeFlood.FloodColor = kBlue;
        pnlCartNo.BackColor = kButtonFace;
        break;
    default:
        break;
    }
}

void AudioPlayerEngine::RefreshPositionDisplay() {
    CartPlayerRecord& player = Player();
    const float played = player.SecondsPlayed, remain = player.SecondsRemain,
                toExtro = player.SecondsToExtro;
    const Vantor_Cart_Routines::CartRecord& cart = player.Cart;

    std::string outText = Duration(toExtro > 0 ? toExtro : remain, 22);
    std::string inText;
    double flood = 0;
    switch (player.AudioPart) {
    case ::eapPREINTRO:
    case ::eapDURINGINTRO: {
        double introEnd = cart.IntroEnd == 0 ? 1 : cart.IntroEnd;
        double toIntroEnd = introEnd - played;
        if (toIntroEnd >= 0 && toIntroEnd <= 86400) inText = Duration(toIntroEnd, 22);
        flood = played / introEnd * 100;
        break;
    }
    case ::eapMAIN: {
        double extro = cart.Extro == 0 ? 1 : cart.Extro;
        flood = played / extro * 100;
        inText = Duration(played, 2);
        break;
    }
    case ::eapEXTRO: {
        double extro = cart.Extro == 0 ? 0.1 : cart.Extro;
        if (cart.PlayLength <= 0)
            flood = 0;
        else if (cart.PlayLength - extro <= 0)
            flood = 100;
        else
            flood = (played - extro) / (cart.PlayLength - extro) * 100;
        inText = Duration(played, 2);
        break;
    }
    default:
        break;
    }
    if (inText != LastTimeInText) {
        pnlTimeIn.Caption = inText;
        LastTimeInText = inText;
    }
    if (!(flood >= 0)) flood = 0; // also a value that is not a number
    flood = std::min(flood, 100.0);

    // Colours are read back from the panels, so each band is entered once.
    if (toExtro <= 0) {
        if (pnlTimeFlood.FloodColor != kYellow) {
            pnlTimeFlood.FloodColor = kYellow;
            pnlTimeOut.BackColor = kRed;
        }
        if (pnlTimeFlood.BackColor != kRed) pnlTimeFlood.BackColor = kRed;
    } else if (toExtro <= 5) {
        outText = LastCharacter(outText);
        if (pnlTimeFlood.FloodColor != kRed) {
            pnlTimeFlood.FloodColor = kRed;
            pnlTimeOut.BackColor = kRed;
            SetDisplayLine(cdCuedExtroFlashing, HardwareAPI::OutputFlashing);
            SetDisplayLine(cdPlayingExtroFlashing, HardwareAPI::OutputFlashing);
        }
        if (pnlTimeFlood.BackColor != kButtonFace) pnlTimeFlood.BackColor = kButtonFace;
    } else if (toExtro <= 9) {
        outText = LastCharacter(outText);
        if (pnlTimeFlood.FloodColor != kLightGreen) {
            pnlTimeFlood.FloodColor = kLightGreen;
            pnlTimeOut.BackColor = kLightGreen;
        }
        if (pnlTimeFlood.BackColor != kButtonFace) pnlTimeFlood.BackColor = kButtonFace;
    } else {
        if (pnlTimeFlood.FloodColor != kBlue) {
            pnlTimeFlood.FloodColor = kBlue;
            pnlTimeOut.BackColor = kButtonFace;
        }
        if (pnlTimeFlood.BackColor != kButtonFace) pnlTimeFlood.BackColor = kButtonFace;
    }
    if (outText != LastTimeOutText) {
        pnlTimeOut.Caption = outText;
        LastTimeOutText = outText;
    }
    if (VB::RoundHalfEven(flood) != VB::RoundHalfEven(LastFloodPercent)) {
        pnlTimeFlood.FloodPercent = static_cast<float>(flood);
        LastFloodPercent = static_cast<float>(flood);
    }
    float overall = std::clamp(Services().PercentagePlayed(playerNumber_), 0.0f, 100.0f);
    if (overall != LastOverallPercent) {
        pnlOverallTime.FloodPercent = overall;
        LastOverallPercent = overall;
    }
}

void AudioPlayerEngine::LayOut(int32_t innerWidth) {
    picControls.Left = innerWidth - picControls.Width - kGap;
    pnlTimeOut.Left = picControls.Left;
    pnlTimeFlood.Width = pnlTimeOut.Left - pnlTimeFlood.Left - kGap;
    pnlOverallTime.Width = pnlTimeFlood.Width;
    pnlCaption.Width = pnlTimeFlood.Width;
    statusPanel.Width = pnlTimeFlood.Width;
    emit Changed();
}

void AudioPlayerEngine::SetControlsVisible(bool visible) {
    picControls.Visible = visible;
    emit Changed();
}

void AudioPlayerEngine::DropCart(const std::string& tag) {
    if (tag.find(',') != std::string::npos) return;
    double value = VB::Fix(VB::Val(tag));
    if (!(value >= 1 && value <= MainSettings::Settings().Audio.NoCarts)) return;
    int32_t cartNumber = static_cast<int32_t>(value);
    Vantor_Cart_Routines::CartRecord rec;
    Vantor_Cart_Routines::ReadCart(rec, cartNumber);
    if (!(rec.TotalLength > 0)) return;
    int16_t volume = MainSettings::Settings().Audio.GeneralVolume;
    if (Player().Status == Playing)
        Services().PlayPlayer(playerNumber_, cartNumber, volume);
    else
        Services().CuePlayer(playerNumber_, cartNumber, volume);
}

void AudioPlayerEngine::BarMouseDown(int button, int16_t, float x) {
    CartPlayerRecord& player = Player();
    if (button == kRightButton && player.Status < Empty && pnlTimeFlood.Width > 0) {
        double fraction = x / pnlTimeFlood.Width;
        if (fraction >= 0 && fraction < 1) {
            int16_t volume = player.Volume;
            Services().SeekPlayer(playerNumber_, player.CartNumber,
                                  static_cast<float>(fraction * player.Cart.PlayLength), volume);
        }
    }
    LastSeekX = VB::CInt(x).value_or(LastSeekX);
}

void AudioPlayerEngine::BarMouseMove(int button, int16_t shift, float x) {
    if (x != LastSeekX) BarMouseDown(button, shift, x);
}

void AudioPlayerEngine::cmdPlayPause_MouseUp() {
    CartPlayerRecord& player = Player();
    int16_t volume = player.Volume;
    if (player.Status != Playing) {
        if (!Services().SendPlayerCommand(playerNumber_, Playing))
            Services().PlayPlayer(playerNumber_, player.CartNumber, volume);
    } else if (!Services().SendPlayerCommand(playerNumber_, Paused)) {
        Services().PausePlayer(playerNumber_, player.CartNumber, volume);
    }
}

void AudioPlayerEngine::cmdCue_MouseUp() {
    CartPlayerRecord& player = Player();
    int16_t volume = player.Volume;
    if (!Services().SendPlayerCommand(playerNumber_, Cued))
        Services().CuePlayer(playerNumber_, player.CartNumber, volume);
}

void AudioPlayerEngine::cmdEject_MouseUp() {
    if (!Services().SendPlayerCommand(playerNumber_, Empty)) Services().EjectPlayer(playerNumber_);
}

int16_t AudioPlayerEngine::KeyDown(int16_t keyCode, int16_t shift) {
    int32_t none = 0;
    return Audio_Player_FN::HandlePlayerKey(keyCode, shift, none);
}

void AudioPlayerEngine::SetDisplayLine(CartDisplayLine line, int16_t mode) {
    Services().SetLinesByAction(kCartDisplayAction, mode, playerNumber_, line, kAny, kAny, false);
}

void AudioPlayerEngine::SetDisplayLines(const std::array<int16_t, 6>& modes) {
    for (CartDisplayLine line : {cdPlaying, cdPlayingExtroFlashing, cdIsCuedReady,
                                 cdCuedExtroFlashing, cdDuringIntro, cdAfterExtro})
        SetDisplayLine(line, modes[static_cast<size_t>(line)]);
}

void AudioPlayerEngine::ApplyCartOutput(int16_t code) {
    int16_t line = 0;
    int32_t mode = 0;
    if (Vantor_Cart_Routines::DecodeHardwareOutput(code, line, mode))
        Services().SetHardwareLine(line, static_cast<int16_t>(mode));
}

void AudioPlayerEngine::FlennPlayer_Playing() {
    if (Player().SeekInProgress) return;
    cmdPlayPause.Enabled = true;
    cmdPlayPause.Picture = "enPause";
    cmdCue.Enabled = true;
    cmdEject.Enabled = MainSettings::Settings().Audio.OnlyAllowEjectStoppedCarts == 0;
    SetDisplayLines({1, 0, 0, 0, 0, 1});
    emit Changed();
}

void AudioPlayerEngine::FlennPlayer_Paused() {
    if (Player().SeekInProgress) return;
    cmdPlayPause.Enabled = true;
    cmdPlayPause.Picture = "enPlay";
    cmdCue.Enabled = true;
    cmdEject.Enabled = true;
    SetDisplayLines({0, 1, 0, 0, 1, 0});
    emit Changed();
}

void AudioPlayerEngine::FlennPlayer_Cued() {
    CartPlayerRecord& player = Player();
    if (player.SeekInProgress) return;
    SetBarsToZero();
    cmdPlayPause.Enabled = true;
    cmdPlayPause.Picture = "enPlay";
    cmdCue.Enabled = false;
    cmdEject.Enabled = true;
    SetDisplayLines({0, 1, 1, 0, 1, 0});
    pnlTimeIn.Caption = Duration(player.Cart.IntroEnd > 0 ? player.Cart.IntroEnd : 0, 12);
    pnlTimeOut.Caption = Duration(player.Cart.Extro, 22);
    emit Changed();
}

void AudioPlayerEngine::FlennPlayer_Opened() {
    cmdPlayPause.Enabled = false;
    cmdCue.Enabled = true;
    cmdEject.Enabled = true;
    SetDisplayLines({0, 0, 0, 0, 0, 0});
    emit Changed();
}

void AudioPlayerEngine::FlennPlayer_Closed() {
    cmdPlayPause.Enabled = false;
    cmdCue.Enabled = false;
    cmdEject.Enabled = false;
    cmdPlayPause.Picture = "enPlay";
    SetDisplayLines({0, 0, 0, 0, 0, 0});
    Audio_Player_FN::ShowPlayerControls(playerNumber_, true);
    emit Changed();
}

void AudioPlayerEngine::FlennPlayer_IntroStartReached() {
    SetDisplayLine(cdCuedExtroFlashing, HardwareAPI::OutputOff);
    SetDisplayLine(cdDuringIntro, HardwareAPI::OutputOn);
    SetDisplayLine(cdAfterExtro, HardwareAPI::OutputOff);
    ApplyCartOutput(Player().Cart.IntroStartOutput);
}

void AudioPlayerEngine::FlennPlayer_IntroEndReached() {
    SetDisplayLine(cdCuedExtroFlashing, HardwareAPI::OutputOff);
    SetDisplayLine(cdDuringIntro, HardwareAPI::OutputOff);
    SetDisplayLine(cdAfterExtro, HardwareAPI::OutputOff);
    ApplyCartOutput(Player().Cart.IntroEndOutput);
}

void AudioPlayerEngine::FlennPlayer_ExtroReached() {
    bool playing = Player().Status == Playing;
    SetDisplayLine(cdPlayingExtroFlashing,
                   playing ? HardwareAPI::OutputOn : HardwareAPI::OutputOff);
    SetDisplayLine(cdCuedExtroFlashing, HardwareAPI::OutputOn);
    SetDisplayLine(cdDuringIntro, HardwareAPI::OutputOff);
    SetDisplayLine(cdAfterExtro, HardwareAPI::OutputOn);
    ApplyCartOutput(Player().Cart.ExtroOutput);
}

void AudioPlayerEngine::FlennPlayer_AudioEndReached() {
    Services().EjectPlayer(playerNumber_);
}

void AudioPlayerEngine::FlennPlayer_HookStartReached() {
    ApplyCartOutput(Player().Cart.HookStartOutput);
}

void AudioPlayerEngine::FlennPlayer_HookEndReached() {
    ApplyCartOutput(Player().Cart.HookEndOutput);
}

} // namespace CartPlayers
