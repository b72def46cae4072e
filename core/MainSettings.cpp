#include "core/MainSettings.h"

namespace MainSettings {

bool CartChangeAllowed(int32_t& cartNumber, bool& writing) {
    (void)cartNumber;
    (void)writing;
    return true;
}

void CartMessageHook(const std::string&, int32_t, int32_t, std::string&) {}

void CartPlayerHook(int16_t&) {}

void CartBrowserHook() {}

} // namespace MainSettings
