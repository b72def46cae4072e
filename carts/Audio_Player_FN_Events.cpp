// The control's events of each player: the record kept up to date, then the notice.
#include "carts/Audio_Player_FN_Internal.h"

namespace Audio_Player_FN {

using namespace CartPlayers;
using namespace Internal;

void PlayerAudioPartEvent(int16_t PlayerNumber) {
    if (CartPlayerRecord* rec = UsablePlayer(PlayerNumber))
        rec->AudioPart = rec->Player->AudioPart();
}

void PlayerAudioPositionChanged(int16_t PlayerNumber, bool AudioPartChanging) {
    CartPlayerRecord* rec = UsablePlayer(PlayerNumber);
    if (!rec || rec->CartNumber == 0) return;
    if (AudioPartChanging) rec->AudioPart = rec->Player->AudioPart();
    rec->SecondsPlayed = rec->Player->SecondsPlayed();
    rec->SecondsRemain = rec->Player->SecondsRemain();
    rec->SecondsToExtro =
        rec->SecondsPlayed <= rec->Cart.Extro ? rec->Cart.Extro - rec->SecondsPlayed : 0;
    SendPlayerNotice(pnPosition, PlayerNumber, 0);
}

void PlayerAudioLevelChanged(int16_t PlayerNumber) {
    SendPlayerNotice(pnAudioLevel, PlayerNumber, 0);
}

void PlayerVolumeChangeStart(int16_t PlayerNumber, int32_t Reference) {
    SendPlayerNotice(pnVolumeChangeStart, PlayerNumber, Reference);
}

void PlayerVolumeChange(int16_t PlayerNumber, int32_t Reference) {
    if (Reference == kFadeReference && InRange(PlayerNumber) && Record(PlayerNumber).Fading)
        Record(PlayerNumber).FadeNotified = true;
    SendPlayerNotice(pnVolumeChangeNotify, PlayerNumber, Reference);
}

void PlayerVolumeChangeEnd(int16_t PlayerNumber, int32_t Reference) {
    SendPlayerNotice(pnVolumeChangeEnd, PlayerNumber, Reference);
    if (Reference == kFadeReference) EjectPlayer(PlayerNumber);
}

void PlayerIntroStartReached(int16_t PlayerNumber) {
    SendPlayerNotice(pnIntroStart, PlayerNumber, 0);
}

void PlayerIntroEndReached(int16_t PlayerNumber) {
    SendPlayerNotice(pnIntroEnd, PlayerNumber, 0);
}

void PlayerHookStartReached(int16_t PlayerNumber) {
    SendPlayerNotice(pnHookStart, PlayerNumber, 0);
}

void PlayerHookEndReached(int16_t PlayerNumber) {
    SendPlayerNotice(pnHookEnd, PlayerNumber, 0);
}

void PlayerExtroReached(int16_t PlayerNumber) {
    SendPlayerNotice(pnExtro, PlayerNumber, 0);
}

void PlayerAudioEndReached(int16_t PlayerNumber) {
    SendPlayerNotice(pnAudioEnd, PlayerNumber, 0);
}

void PlayerSweeperStartReached(int16_t PlayerNumber) {
    StartLinkedPlayer(PlayerNumber);
    SendPlayerNotice(pnSweeperStart, PlayerNumber, 0);
}

} // namespace Audio_Player_FN
