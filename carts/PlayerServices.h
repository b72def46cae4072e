#pragma once
// What the player windows and keys ask of the cart player operations, the network relay and
// the hardware lines. The defaults run the cart player and recorder operations and set the
// hardware table's lines; until the action runner is installed the relay keeps nothing.
#include <cstdint>

namespace CartPlayers {

class PlayerServices {
public:
    virtual ~PlayerServices() = default;
    virtual bool CuePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume);
    virtual bool PlayPlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume);
    virtual bool PausePlayer(int16_t PlayerNumber, int32_t CartNumber, int16_t& Volume);
    virtual bool SeekPlayer(int16_t PlayerNumber, int32_t CartNumber, float Seconds,
                            int16_t& Volume);
    virtual bool EjectPlayer(int16_t PlayerNumber);
    // True when the player is kept for the split window's break and must be left alone.
    virtual bool SendPlayerCommand(int16_t PlayerNumber, int32_t TargetStatus);
    virtual bool SetHardwareLine(int16_t& LineNumber, int16_t Mode);
    virtual void SetLinesByAction(int16_t ActionCode, int16_t Mode, int16_t Data1, int16_t Data2,
                                  int16_t Data3, int16_t Data4, bool OutputsOnly);
    // The player control's percentage of the whole audio played.
    virtual float PercentagePlayed(int16_t PlayerNumber);
    virtual bool RecorderResume();
    virtual bool RecorderPause();
    // Mode 1 keeps the recording, 2 asks, any other value discards it.
    virtual bool RecorderSave(int32_t Mode);
};

// The services in use; nullptr puts the defaults back.
PlayerServices& Services();
void SetServices(PlayerServices* services);

} // namespace CartPlayers
