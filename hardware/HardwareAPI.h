#pragma once
// Hardware line modes and the packed output codes that carts store.
#include <cstdint>

namespace HardwareAPI {

// Mode of a hardware output line.
enum OutputMode : int32_t {
    OutputOff = 0,
    OutputOn = 1,
    OutputFlashing = 2,
    OutputPulse = 3,
};

constexpr int kHardwareLineCount = 300; // (card - 1) x 100 + line

// OutputMode x 1024 + line number (1..300); line 0 = no output.
using HardwareOutputCode = int16_t;

constexpr HardwareOutputCode MakeHardwareOutputCode(int32_t mode, int16_t lineNumber) {
    return static_cast<HardwareOutputCode>(mode * 1024 + (lineNumber & 0x3FF));
}

} // namespace HardwareAPI
