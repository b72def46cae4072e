#include "player_controls/EngineSettings.h"

#include "core/Registry.h"

namespace EngineSettings {

EngineRegistrySettings ReadEngineRegistrySettings() {
    const EngineRegistrySettings defaults;
    const auto read = [](const char* name, int32_t def) {
        return Registry::GetRegLong(Platform::HKEY_LOCAL_MACHINE, EngineRegistryKey, name, def);
    };
    EngineRegistrySettings s;
    s.FadeMode = read("FadeMode", defaults.FadeMode);
    s.FlushBuffers = read("FlushBuffers", defaults.FlushBuffers ? 1 : 0) != 0;
    s.FlushBufferLengthms = read("FlushBufferLengthms", defaults.FlushBufferLengthms);
    return s;
}

} // namespace EngineSettings
