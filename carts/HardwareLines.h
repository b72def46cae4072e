#pragma once
// The hardware lines as the players and the split reach them: the output modes, the output code
// a cart record carries, and the calls that set lines. The hardware table defines the calls.
#include <cstdint>

namespace HardwareAPI {

// Mode of a hardware output line.
enum OutputMode : int32_t {
    OutputOff = 0,
    OutputOn = 1,
    OutputFlashing = 2,
    OutputPulse = 3,
};

// OutputMode x 1024 + line number (1..300); line 0 = no output.
using HardwareOutputCode = int16_t;

constexpr HardwareOutputCode MakeHardwareOutputCode(int32_t mode, int16_t lineNumber) {
    return static_cast<HardwareOutputCode>(mode * 1024 + (lineNumber & 0x3FF));
}

// Sets a line's run-time fields by mode and tells the action runner. False outside 1..300.
bool SetHardwareLine(int16_t& LineNumber, int32_t Mode);
// Every line of the enabled cards with the action and data (255 matches any).
void SetLinesByAction(int16_t ActionCode, int32_t Mode, int16_t& Data1, int16_t& Data2,
                      int16_t& Data3, int16_t& Data4, int16_t& OutputsOnly);

} // namespace HardwareAPI
