#include "breaks/SplitPlayerAdapter.h"

#include "breaks/SplitEngine.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/MainSettings.h"
#include "platform/VB.h"

#include <algorithm>

namespace CartPlayers {
namespace {

bool IsPlayer(int16_t n) {
    return n >= 1 && n <= kMaxPlayers;
}

} // namespace

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

int16_t SplitPlayerAdapter::FindPlayerWithCart(int32_t CartNumber, int32_t) {
    int32_t count = std::min<int32_t>(TotalNumberCartPlayers(), kMaxPlayers);
    for (int16_t n = 1; n <= count; ++n) {
        const CartPlayerRecord& rec = Record(n);
        if (rec.CartNumber == CartNumber && rec.Status >= Paused && rec.Status <= Selected)
            return n;
    }
    return 0;
}

bool SplitPlayerAdapter::PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) {
    return Audio_Player_FN::PlayPlayer(PlayerNumber, CartNumber, Volume);
}

SplitPlayerInfo SplitPlayerAdapter::PlayerInfo(int16_t PlayerNumber) {
    SplitPlayerInfo info;
    if (!IsPlayer(PlayerNumber)) return info;
    const CartPlayerRecord& rec = Record(PlayerNumber);
    info.Status = rec.Status;
    info.CartNumber = rec.CartNumber;
    info.SecondsPlayed = rec.SecondsPlayed;
    info.SecondsRemain = rec.SecondsRemain;
    info.SecondsToExtro = rec.SecondsToExtro;
    info.Extro = rec.Cart.Extro;
    info.LastSecondsPlayed = rec.LastSecondsPlayed;
    info.Fading = rec.Fading;
    info.LogInhibited = rec.LogInhibited;
    info.PlayStarted = rec.PlayStarted;
    info.PlaySource = rec.PlaySource;
    return info;
}

void SplitPlayerAdapter::SetPlaySource(int16_t PlayerNumber, const std::string& PlaySource) {
    if (IsPlayer(PlayerNumber)) Record(PlayerNumber).PlaySource = PlaySource;
}

std::string SplitPlayerAdapter::GetCartDescription(int32_t CartNumber) {
    Vantor_Cart_Routines::CartRecord rec;
    Vantor_Cart_Routines::ReadCart(rec, CartNumber);
    std::string text;
    return Vantor_Cart_Routines::GetCartDescription(rec, true, text);
}

int16_t SplitPlayerAdapter::TotalNumberCartPlayers() {
    return static_cast<int16_t>(
        std::max<int32_t>(MainSettings::Settings().Audio.TotalNumberCartPlayers, 0));
}

bool SplitPlayerAdapter::EjectPlayer(int16_t PlayerNumber) {
    return Audio_Player_FN::EjectPlayer(PlayerNumber);
}

int32_t SplitPlayerAdapter::PlayerCartNumber(int16_t PlayerNumber) {
    return IsPlayer(PlayerNumber) ? Record(PlayerNumber).CartNumber : 0;
}

void SplitPlayerAdapter::ShowPlayerControls(int16_t PlayerNumber, bool Show) {
    Audio_Player_FN::ShowPlayerControls(PlayerNumber, Show);
}

void SplitPlayerAdapter::SetPlayerDescription(int16_t PlayerNumber, const std::string& Title) {
    if (!IsPlayer(PlayerNumber)) return;
    Record(PlayerNumber).Cart.Description3 =
        VB::FixedLength(Title, static_cast<int>(Vantor_Cart_Routines::kDescriptionLength));
    if (OnDescriptionChanged) OnDescriptionChanged(PlayerNumber);
}

void SplitNoticeListener::PlayerStatusNotice(int32_t& NoticeCode, int16_t& PlayerNumber,
                                             int32_t& Data) {
    engine_.PlayerStatusNotice(NoticeCode, PlayerNumber, Data);
}

} // namespace CartPlayers
