#pragma once
// The cart players' table (one record per player, players 1..4), the player status values,
// the notice codes and the listeners that receive every notice.
#include "carts/CartRecord.h"
#include "core/GeneralFunctions.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FlennPlayer;

namespace CartPlayers {

enum PlayerStatus : int32_t {
    Seeking = 3,
    Playing = 11,
    Paused = 12,
    Cued = 13,
    Selected = 14,
    Empty = 15,
};

enum PlayerNoticeCode : int32_t {
    pnEjectFinished = 0,
    pnEjectStarted = 4,
    pnLoaded = 7,
    pnCued = 16,
    pnPaused = 23,
    pnPlayed = 31,
    pnRecorderSaved = 48,
    pnRecorderPaused = 71,
    pnRecording = 79,
    pnSweeperStart = 96,
    pnIntroStart = 112,
    pnIntroEnd = 116,
    pnHookStart = 117,
    pnHookEnd = 118,
    pnExtro = 119,
    pnAudioEnd = 122,
    pnRecordingEnd = 138,
    pnAudioLevel = 224,
    pnRecorderLevel = 231,
    pnLevel233 = 233,
    pnVolumeChangeStart = 234,
    pnVolumeChangeNotify = 236,
    pnVolumeChangeEnd = 239,
    pnRecorderPosition = 247,
    pnPosition = 255,
};

// Listener flag classes.
enum NoticeClass : int32_t {
    ncGeneral = 1,
    ncPositions = 2,
    ncLevels = 4,
    ncVolumeChanges = 8,
    ncEverything = 255,
};

constexpr int kMaxPlayers = 4;

// A window that wants the players' notices.
class PlayerNoticeListener {
public:
    virtual ~PlayerNoticeListener() = default;
    virtual void PlayerStatusNotice(int32_t& NoticeCode, int16_t& PlayerNumber, int32_t& Data) = 0;
};

struct CartPlayerRecord {
    int16_t SoundCardNumber = 0; // wave device index + 1; 0 = no device
    int16_t EngineVolume = 0;
    int32_t BackColor = 0;
    int32_t ForeColor = 0;
    bool LogInhibited = false;
    FlennPlayer* Player = nullptr; // the player's control; nullptr = no player
    int32_t CartNumber = 0;
    Vantor_Cart_Routines::CartRecord Cart;
    bool Ejected = false;
    bool SeekInProgress = false;
    GeneralFunctions::TimeStamp PlayStarted;
    float SecondsPlayed = 0;
    float SecondsRemain = 0;
    float SecondsToExtro = 0;
    int32_t AudioPart = 0;
    int32_t Status = Empty;
    std::string PlaySource;
    std::string AudioFileName;
    std::string NotesFileName;
    bool Fading = false;
    bool FadeNotified = false;
    int32_t LinkedPlayer = 0;
    bool PartnerPlaysFirst = false;
    int16_t DuckedBy = 0;
    int16_t Volume = 0;
    int32_t LastCartNumber = 0;
    float LastSecondsPlayed = 0;
};

// Indexed by player number; entry 0 is unused.
using PlayerTableArray = std::array<CartPlayerRecord, kMaxPlayers + 1>;

// Slots in registration order; a freed slot has no object and flags 0.
struct NoticeListenerSlots {
    std::vector<PlayerNoticeListener*> Objects{nullptr};
    std::vector<int32_t> Flags{0};
};

class CartPlayer;

struct PlayersState {
    PlayersState();
    ~PlayersState();
    PlayersState(const PlayersState&) = delete;
    PlayersState& operator=(const PlayersState&) = delete;

    PlayerTableArray PlayerTable;
    NoticeListenerSlots NoticeListeners;
    // The players behind the records' Player references, indexed like the table.
    std::array<std::unique_ptr<CartPlayer>, kMaxPlayers + 1> Players;
};

// The players of the current program context.
PlayersState& State();
CartPlayerRecord& Record(int16_t playerNumber);

} // namespace CartPlayers
