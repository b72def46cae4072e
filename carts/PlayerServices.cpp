#include "carts/PlayerServices.h"

#include "carts/HardwareLines.h"

#include "carts/Audio_Player_FN.h"
#include "carts/PlayerTable.h"
#include "carts/Vantor_Cart_Routines.h"
#include "player_controls/FlennPlayer.h"

namespace CartPlayers {

namespace {

PlayerServices& Defaults() {
    static PlayerServices defaults;
    return defaults;
}

PlayerServices*& Current() {
    static PlayerServices* current = &Defaults();
    return current;
}

} // namespace

bool PlayerServices::CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    return Audio_Player_FN::CuePlayer(PlayerNumber, CartNumber, Volume);
}
bool PlayerServices::PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    return Audio_Player_FN::PlayPlayer(PlayerNumber, CartNumber, Volume);
}
bool PlayerServices::PausePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    return Audio_Player_FN::PausePlayer(PlayerNumber, CartNumber, Volume);
}
bool PlayerServices::SeekPlayer(int16_t PlayerNumber, int32_t CartNumber, float Seconds,
                                int16_t& Volume) {
    return Audio_Player_FN::SeekPlayer(PlayerNumber, CartNumber, Seconds, Volume);
}
bool PlayerServices::EjectPlayer(int16_t PlayerNumber) {
    return Audio_Player_FN::EjectPlayer(PlayerNumber);
}
bool PlayerServices::SendPlayerCommand(int16_t, int32_t) {
    return false;
}
bool PlayerServices::SetHardwareLine(int16_t& LineNumber, int16_t Mode) {
    return HardwareAPI::SetHardwareLine(LineNumber, Mode);
}
void PlayerServices::SetLinesByAction(int16_t ActionCode, int16_t Mode, int16_t Data1,
                                      int16_t Data2, int16_t Data3, int16_t Data4,
                                      bool OutputsOnly) {
    int16_t outputsOnly = OutputsOnly ? -1 : 0;
    HardwareAPI::SetLinesByAction(ActionCode, Mode, Data1, Data2, Data3, Data4, outputsOnly);
}

float PlayerServices::PercentagePlayed(int16_t PlayerNumber) {
    if (PlayerNumber < 1 || PlayerNumber > kMaxPlayers) return 0;
    FlennPlayer* player = Record(PlayerNumber).Player;
    return player ? player->PercentagePlayed() : 0;
}

bool PlayerServices::RecorderResume() {
    return Vantor_Cart_Routines::RecorderResume();
}
bool PlayerServices::RecorderPause() {
    return Vantor_Cart_Routines::RecorderPause();
}
bool PlayerServices::RecorderSave(int32_t Mode) {
    return Vantor_Cart_Routines::RecorderSave(Mode);
}

PlayerServices& Services() {
    return *Current();
}

void SetServices(PlayerServices* services) {
    Current() = services ? services : &Defaults();
}

} // namespace CartPlayers
