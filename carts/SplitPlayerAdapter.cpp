#include "carts/SplitPlayerAdapter.h"

#include "carts/Audio_Player_FN.h"
#include "core/MainSettings.h"
#include "platform/VB.h"

namespace CartPlayers {

int16_t SplitPlayerAdapter::FindPlayer(int16_t MinStatus, int16_t FirstPlayer, int16_t LastPlayer,
                                       int32_t) {
    const AudioSettings::AudioSettingsRecord& a = MainSettings::Settings().Audio;
    int32_t count = a.TotalNumberCartPlayers;
    if (count < 1) return 0;
    int32_t first = FirstPlayer > 0 ? FirstPlayer : a.FirstPlayerInOrder;
    int32_t last = LastPlayer > 0 ? LastPlayer : a.LastPlayerInOrder;
    int32_t step = first > last ? -1 : 1;
    for (int32_t n = first;; n += step) {
        if (n >= 1 && n <= count && n <= kMaxPlayers &&
            Record(static_cast<int16_t>(n)).Status >= MinStatus)
            return static_cast<int16_t>(n);
        if (n == last) return 0;
    }
}

bool SplitPlayerAdapter::CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    return Audio_Player_FN::CuePlayer(PlayerNumber, CartNumber, Volume);
}

bool SplitPlayerAdapter::EjectPlayer(int16_t PlayerNumber) {
    return Audio_Player_FN::EjectPlayer(PlayerNumber);
}

int32_t SplitPlayerAdapter::PlayerCartNumber(int16_t PlayerNumber) {
    if (PlayerNumber < 1 || PlayerNumber > kMaxPlayers) return 0;
    return Record(PlayerNumber).CartNumber;
}

void SplitPlayerAdapter::ShowPlayerControls(int16_t PlayerNumber, bool Show) {
    if (OnShowPlayerControls) OnShowPlayerControls(PlayerNumber, Show);
}

void SplitPlayerAdapter::SetPlayerDescription(int16_t PlayerNumber, const std::string& Title) {
    if (PlayerNumber < 1 || PlayerNumber > kMaxPlayers) return;
    Record(PlayerNumber).Cart.Description3 =
        VB::FixedLength(Title, static_cast<int>(Vantor_Cart_Routines::kDescriptionLength));
    if (OnDescriptionChanged) OnDescriptionChanged(PlayerNumber);
}

} // namespace CartPlayers
