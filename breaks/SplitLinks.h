#pragma once
// The doors the split engine reaches the rest of the system through: the words it sends to
// the other machines, and the cart players it cues adverts on.
#include <cstdint>
#include <string>

class SplitSender {
public:
    virtual ~SplitSender() = default;
    // To the master and slave machines ("AD_CUE 36000", "AD_RECUE", "AD_PREVIOUS", ...).
    virtual void SendMessageToNetwork(const std::string& text) = 0;
};

class SplitPlayers {
public:
    virtual ~SplitPlayers() = default;
    // First player in the configured order whose status >= MinStatus (15: the first Empty).
    virtual int16_t FindPlayer(int16_t MinStatus, int16_t FirstPlayer, int16_t LastPlayer,
                               int32_t OwnerTag) = 0;
    virtual bool CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) = 0;
    virtual bool EjectPlayer(int16_t PlayerNumber) = 0;
    virtual int32_t PlayerCartNumber(int16_t PlayerNumber) = 0; // the loaded cart
    virtual void ShowPlayerControls(int16_t PlayerNumber, bool Show) = 0;
    virtual void SetPlayerDescription(int16_t PlayerNumber, const std::string& Title) = 0;
};
