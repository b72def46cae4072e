#pragma once
// The cart players' table: one record per player, players 1..4.
#include <array>
#include <cstdint>

namespace CartPlayers {

enum PlayerStatus : int32_t {
    Seeking = 3,
    Playing = 11,
    Paused = 12,
    Cued = 13,
    Selected = 14,
    Empty = 15,
};

constexpr int kMaxPlayers = 4;

struct CartPlayerRecord {
    int32_t Status = Empty;
};

// Indexed by player number; entry 0 is unused.
using PlayerTableArray = std::array<CartPlayerRecord, kMaxPlayers + 1>;

} // namespace CartPlayers
