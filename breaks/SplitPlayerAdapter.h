#pragma once
// The split engine's door to the real cart players, and the listener that brings it their
// notices.
#include "breaks/SplitLinks.h"
#include "carts/PlayerTable.h"

#include <functional>

class SplitEngine;

namespace CartPlayers {

class SplitPlayerAdapter : public SplitPlayers {
public:
    // First and last player below 1 stand for the configured choice order.
    int16_t FindPlayer(int16_t MinStatus, int16_t FirstPlayer, int16_t LastPlayer,
                       int32_t OwnerTag) override;
    int16_t FindPlayerWithCart(int32_t CartNumber, int32_t ItemTag) override;
    bool CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) override;
    bool PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) override;
    bool EjectPlayer(int16_t PlayerNumber) override;
    int32_t PlayerCartNumber(int16_t PlayerNumber) override;
    SplitPlayerInfo PlayerInfo(int16_t PlayerNumber) override;
    void SetPlaySource(int16_t PlayerNumber, const std::string& PlaySource) override;
    std::string GetCartDescription(int32_t CartNumber) override;
    int16_t TotalNumberCartPlayers() override;
    // Told to the player windows, whichever door of the split asks.
    void ShowPlayerControls(int16_t PlayerNumber, bool Show) override;
    // The third description line of the player's cart copy; then the windows are told.
    void SetPlayerDescription(int16_t PlayerNumber, const std::string& Title) override;

    std::function<void(int16_t)> OnDescriptionChanged;
};

// Hands the general notices (register it with flags 1) to the split engine.
class SplitNoticeListener : public PlayerNoticeListener {
public:
    explicit SplitNoticeListener(SplitEngine& engine) : engine_(engine) {}
    void PlayerStatusNotice(int32_t& NoticeCode, int16_t& PlayerNumber, int32_t& Data) override;

private:
    SplitEngine& engine_;
};

} // namespace CartPlayers
