#pragma once
// Shared pieces of the player operations' source files.
#include "carts/Audio_Player_FN.h"
#include "core/MainSettings.h"
#include "player_controls/FlennPlayer.h"

#include <cstdint>

namespace Audio_Player_FN::Internal {

inline int32_t PlayerCount() {
    return MainSettings::Settings().Audio.TotalNumberCartPlayers;
}

inline bool InRange(int16_t playerNumber) {
    return playerNumber >= 1 && playerNumber <= PlayerCount() &&
           playerNumber <= CartPlayers::kMaxPlayers;
}

// The record of a player in use with a control; nullptr otherwise.
inline CartPlayers::CartPlayerRecord* UsablePlayer(int16_t playerNumber) {
    if (!InRange(playerNumber)) return nullptr;
    CartPlayers::CartPlayerRecord& rec = CartPlayers::Record(playerNumber);
    return rec.Player ? &rec : nullptr;
}

constexpr int32_t kFadeReference = 3;

} // namespace Audio_Player_FN::Internal
