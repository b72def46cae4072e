#pragma once
// Engine values the player and recorder controls read from the registry at start-up.
#include <cstdint>

namespace EngineSettings {

// HKEY_LOCAL_MACHINE key of the engine values.
inline constexpr const char* EngineRegistryKey = "SOFTWARE\\OrburyCo\\FlennStream";

struct EngineRegistrySettings {
    int32_t FadeMode = 2;            // "FadeMode"
    bool FlushBuffers = true;        // "FlushBuffers" (nonzero = True)
    int32_t FlushBufferLengthms = 1; // "FlushBufferLengthms"
};

// The values as stored; each missing value takes the default above.
EngineRegistrySettings ReadEngineRegistrySettings();

} // namespace EngineSettings
