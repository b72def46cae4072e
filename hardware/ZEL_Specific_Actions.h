#pragma once
// The action runner: what a hardware line does when it becomes active or clear, and the check
// made before every player command (it keeps the cued break's first advert and relays player
// commands to the other machines).
#include <cstdint>

namespace ZEL_Specific {

enum HardwareActionCode : int32_t {
    actNotInUse = 0,
    actICTrigger = 1,
    actICDisplay = 2,
    actPlayerControl = 3,
    actPlayerDisplay = 4,
    actAdverts = 5,
    actSetTime = 6,
    actCartControl = 64,
    actStationControl = 80,
    actZLorMode = 96,
    actMiscInput = 144,
    actMiscOutput = 151,
    actPlayGroup = 257,
    actGroupActive = 258,
};

// Player commands of a "Player Control" line (Data2).
enum PlayerCommand : int32_t {
    pcPlay = 0,
    pcPause = 1,
    pcCue = 2,
    pcEject = 3,
    pcForward = 4,
    pcRewind = 5,
    pcInhibitLogging = 240,
};

// Runs the configured action of a line (card 1..3, line 1..100) for its present state.
void DoHardwareAction(int16_t& Card, int16_t& Line);
// True when the player must be left alone (it holds the cued break's first advert).
bool SendPlayerCommand(int16_t PlayerNumber, int32_t TargetStatus);
// Sets the computer's clock to the nearest hour plus the offset when the setting
// [General] "SetSystemClock" allows it; otherwise the request is only traced.
void SetClockFromHardware(int16_t OffsetSeconds);
// Makes the cart players ask SendPlayerCommand before their own commands.
void InstallPlayerCommandCheck();

} // namespace ZEL_Specific
