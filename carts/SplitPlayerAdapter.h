#pragma once
// The split engine's door to the real cart players.
#include "breaks/SplitLinks.h"

#include <functional>

namespace CartPlayers {

class SplitPlayerAdapter : public SplitPlayers {
public:
    // First and last player below 1 stand for the configured choice order.
    int16_t FindPlayer(int16_t MinStatus, int16_t FirstPlayer, int16_t LastPlayer,
                       int32_t OwnerTag) override;
    bool CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) override;
    bool EjectPlayer(int16_t PlayerNumber) override;
    int32_t PlayerCartNumber(int16_t PlayerNumber) override;
    // Told to the player windows, when they have set a handler.
    void ShowPlayerControls(int16_t PlayerNumber, bool Show) override;
    // The third description line of the player's cart copy; then the windows are told.
    void SetPlayerDescription(int16_t PlayerNumber, const std::string& Title) override;

    std::function<void(int16_t, bool)> OnShowPlayerControls;
    std::function<void(int16_t)> OnDescriptionChanged;
};

} // namespace CartPlayers
