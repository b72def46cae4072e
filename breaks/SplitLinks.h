#pragma once
// The doors the split engine reaches the rest of the system through: the words it sends to
// the other machines, the playout system and the ZOZ link, the cart players it plays adverts
// on, and the cart-group queue it gives way to.
#include "carts/PlayerTable.h"
#include "core/GeneralFunctions.h"

#include <cstdint>
#include <string>

class SplitSender {
public:
    virtual ~SplitSender() = default;
    // To the master and slave machines ("AD_CUE 36000", "AD_PLAY", "AD_DUMP", "KILL", ...).
    virtual void SendMessageToNetwork(const std::string& text) = 0;
    // To the main playout system ("AD_BREAK_NEAREND 9.5", "AD_BREAK_COMPLETED").
    virtual void SendMessageToVantor(const std::string& text) = 0;
    // The item now playing, for the ZOZ link (item type 4: an advert).
    virtual void SetNowZOZInformation(int32_t CartNumber, int16_t ItemType,
                                      const std::string& Title) = 0;
};

// What the break reads of a player's record.
struct SplitPlayerInfo {
    int32_t Status = CartPlayers::Empty; // a CartPlayers::PlayerStatus
    int32_t CartNumber = 0;
    float SecondsPlayed = 0.0f;
    float SecondsRemain = 0.0f;
    float SecondsToExtro = 0.0f;
    float Extro = 0.0f; // the Extro time of the held cart
    // The seconds played remembered by the last eject: closing the audio has zeroed
    // SecondsPlayed before the eject's notices go out.
    float LastSecondsPlayed = 0.0f;
    bool Fading = false;
    bool LogInhibited = false;
    GeneralFunctions::TimeStamp PlayStarted;
    std::string PlaySource; // reference written with the item's reconciliation line

    // At or past the segue point: the extro itself counts, as the player's extro event fires
    // there, so that a position landing on it segues at once rather than a tick on.
    bool ReachedExtro() const { return SecondsPlayed >= Extro; }
};

class SplitPlayers {
public:
    virtual ~SplitPlayers() = default;
    // First player in the configured order whose status >= MinStatus (Empty: the first empty).
    virtual int16_t FindPlayer(int16_t MinStatus, int16_t FirstPlayer, int16_t LastPlayer,
                               int32_t OwnerTag) = 0;
    // A player holding the cart paused, cued or selected; 0 when none.
    virtual int16_t FindPlayerWithCart(int32_t CartNumber, int32_t ItemTag) = 0;
    virtual bool CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) = 0;
    virtual bool PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume) = 0;
    virtual bool EjectPlayer(int16_t PlayerNumber) = 0;
    virtual int32_t PlayerCartNumber(int16_t PlayerNumber) = 0; // the loaded cart
    virtual SplitPlayerInfo PlayerInfo(int16_t PlayerNumber) = 0;
    virtual void SetPlaySource(int16_t PlayerNumber, const std::string& PlaySource) = 0;
    // The cart's three description lines trimmed and joined with a blank.
    virtual std::string GetCartDescription(int32_t CartNumber) = 0;
    // The number of cart players in use.
    virtual int16_t TotalNumberCartPlayers() = 0;
    virtual void ShowPlayerControls(int16_t PlayerNumber, bool Show) = 0;
    virtual void SetPlayerDescription(int16_t PlayerNumber, const std::string& Title) = 0;
};

// The cart-group queue, as the break sees it.
class SplitCartQueue {
public:
    virtual ~SplitCartQueue() = default;
    virtual int16_t QueueCount() = 0;
    // The group of the first queued item keeps the source muted.
    virtual bool FirstGroupMuted() = 0;
    // Empties the queue (count, playing and cued player 0) and its list.
    virtual void ClearQueue() = 0;
    // The queue's tick, run at once on player notices.
    virtual void RunQueueTick() = 0;
};
