#include "hardware/ZEL_Specific_Actions.h"

#include "breaks/BreaksState.h"
#include "carts/PlayerServices.h"
#include "carts/PlayerTable.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "hardware/HardwareAPI.h"
#include "platform/Profile.h"
#include "player_controls/FlennPlayer.h"

#include <algorithm>
#include <string>

namespace ZEL_Specific {

namespace {

using CartPlayers::PlayerStatus;

constexpr float kSeekStep = 5.0f;

bool ValidPlayer(int32_t player) {
    return player >= 1 && player <= CartPlayers::kMaxPlayers;
}

int16_t PlayerCount() {
    int32_t total = MainSettings::Settings().Audio.TotalNumberCartPlayers;
    return static_cast<int16_t>(total < 0 ? CartPlayers::kMaxPlayers
                                          : std::min<int32_t>(total, CartPlayers::kMaxPlayers));
}

// The position a seek command moves to: forward and back by its label, within the cart.
float SeekTarget(const CartPlayers::CartPlayerRecord& rec, int32_t command) {
    if (command == pcForward)
        return std::min(rec.SecondsPlayed + kSeekStep, std::max(rec.Cart.TotalLength, 0.0f));
    return std::max(rec.SecondsPlayed - kSeekStep, 0.0f);
}

void RunPlayerCommand(int16_t p, int32_t command) {
    CartPlayers::CartPlayerRecord& rec = CartPlayers::Record(p);
    CartPlayers::PlayerServices& players = CartPlayers::Services();
    if (command == pcInhibitLogging) {
        rec.LogInhibited = true;
        return;
    }
    if (rec.Status >= PlayerStatus::Empty) return;
    switch (command) {
    case pcPlay:
        if (!SendPlayerCommand(p, PlayerStatus::Playing))
            players.PlayPlayer(p, rec.CartNumber, rec.Volume);
        break;
    case pcPause:
        if (!SendPlayerCommand(p, PlayerStatus::Paused))
            players.PausePlayer(p, rec.CartNumber, rec.Volume);
        break;
    case pcCue:
        if (!SendPlayerCommand(p, PlayerStatus::Cued))
            players.CuePlayer(p, rec.CartNumber, rec.Volume);
        break;
    case pcEject:
        if (rec.Status == PlayerStatus::Playing &&
            MainSettings::Settings().Audio.OnlyAllowEjectStoppedCarts != 0)
            break;
        if (!SendPlayerCommand(p, PlayerStatus::Empty)) players.EjectPlayer(p);
        break;
    case pcForward:
    case pcRewind:
        players.SeekPlayer(p, rec.CartNumber, SeekTarget(rec, command), rec.Volume);
        break;
    default:
        break;
    }
}

void ExitLoopingCarts() {
    for (int16_t p = 1; p <= PlayerCount(); ++p) {
        CartPlayers::CartPlayerRecord& rec = CartPlayers::Record(p);
        if (rec.Player && rec.Player->UseLoop() && rec.Status != PlayerStatus::Empty)
            CartPlayers::Services().PlayPlayer(p, rec.CartNumber, rec.Volume);
    }
}

void SetLoggingAllowed(bool allowed) {
    MainSettings::Settings().LoggingAllowed = allowed;
    if (auto& door = HardwareAPI::State().Doors.updateLoggingCaption) door();
}

void SetIgnoreSerialCommands(bool ignore) {
    if (auto& door = HardwareAPI::State().Doors.ignoreSerialCommands) door(ignore);
}

bool NotifyFromHardware() {
    return MainSettings::Settings().Network.SendPlayFromHardware != 0;
}

void Activate(const HardwareAPI::HardwareLine& line) {
    HardwareAPI::HardwareDoors& doors = HardwareAPI::State().Doors;
    switch (line.Action) {
    case actPlayerControl:
        if (ValidPlayer(static_cast<int16_t>(line.Data1)))
            RunPlayerCommand(static_cast<int16_t>(line.Data1), line.Data2);
        break;
    case actAdverts:
        if (line.Data1 == 1 && doors.playBreak) doors.playBreak(NotifyFromHardware());
        break;
    case actSetTime:
        if (line.Data2 == 0) SetClockFromHardware(static_cast<int16_t>(line.Data1));
        break;
    case actMiscInput:
        if (line.Data1 == 1) ExitLoopingCarts();
        if (line.Data1 == 2) SetLoggingAllowed(true);
        if (line.Data1 == 3) SetIgnoreSerialCommands(true);
        break;
    case actPlayGroup:
        if (doors.playCartGroup)
            doors.playCartGroup(static_cast<int16_t>(line.Data1), NotifyFromHardware());
        break;
    default:
        break;
    }
}

void Clear(const HardwareAPI::HardwareLine& line) {
    switch (line.Action) {
    case actPlayerControl:
        if (ValidPlayer(static_cast<int16_t>(line.Data1)) && line.Data2 == pcInhibitLogging)
            CartPlayers::Record(static_cast<int16_t>(line.Data1)).LogInhibited = false;
        break;
    case actSetTime:
        if (line.Data2 != 0) SetClockFromHardware(static_cast<int16_t>(line.Data1));
        break;
    case actMiscInput:
        if (line.Data1 == 2) SetLoggingAllowed(false);
        if (line.Data1 == 3) SetIgnoreSerialCommands(false);
        break;
    default:
        break;
    }
}

// The players' own commands ask the runner first.
class CheckedPlayerServices : public CartPlayers::PlayerServices {
public:
    bool SendPlayerCommand(int16_t PlayerNumber, int32_t TargetStatus) override {
        return ZEL_Specific::SendPlayerCommand(PlayerNumber, TargetStatus);
    }
};

} // namespace

void DoHardwareAction(int16_t& Card, int16_t& Line) {
    if (Card < 1 || Card > HardwareAPI::kCardCount || Line < 1 || Line > HardwareAPI::kLinesPerCard)
        return;
    // A copy: the action may change the table (player display outputs, a reload).
    const HardwareAPI::HardwareLine line = HardwareAPI::Card(Card).Line(Line);
    if (line.State != 0)
        Activate(line);
    else
        Clear(line);
}

bool SendPlayerCommand(int16_t PlayerNumber, int32_t TargetStatus) {
    using CartPlayers::PlayerStatus;
    if (PlayerNumber <= 0) return false;
    const char* word = nullptr;
    switch (TargetStatus) {
    case PlayerStatus::Playing:
        word = "PLAY_PLAYER ";
        break;
    case PlayerStatus::Paused:
        word = "PAUSE_PLAYER ";
        break;
    case PlayerStatus::Cued:
        word = "CUE_PLAYER ";
        break;
    case PlayerStatus::Empty:
        break;
    default:
        return false;
    }
    Breaks::BreaksState& breaks = Breaks::State();
    if (!breaks.BreakRunning && breaks.AdBreak.AdvertCount > 0) {
        if (Breaks::Split(1)->LogFileNumber == 0) return false;
        if (PlayerNumber == breaks.AdBreak.PlayingPlayer && ValidPlayer(PlayerNumber) &&
            CartPlayers::Record(PlayerNumber).CartNumber == breaks.AdBreak.Advert(1).CartNumber)
            return true;
    }
    auto& send = HardwareAPI::State().Doors.sendMessageToNetwork;
    if (word && MainSettings::Settings().Network.SendPlayerCommands != 0 && send)
        send(word + std::to_string(PlayerNumber));
    return false;
}

void SetClockFromHardware(int16_t OffsetSeconds) {
    const bool allowed = Platform::GetPrivateProfileInt("General", "SetSystemClock", 0,
                                                        MainSettings::Settings().MainIniFile) != 0;
    GeneralFunctions::WriteDebugLine("SyncClockToHour " + std::to_string(OffsetSeconds) +
                                         (allowed ? "" : " skipped: [General] SetSystemClock is 0"),
                                     -1);
    if (allowed) GeneralFunctions::SyncClockToHour(OffsetSeconds);
}

void InstallPlayerCommandCheck() {
    static CheckedPlayerServices services;
    CartPlayers::SetServices(&services);
}

} // namespace ZEL_Specific
